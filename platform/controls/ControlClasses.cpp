#include "ControlClasses.h"

#include "twlwin/controls.h"

namespace twl::controls {
namespace {

void Register(const char* name, WNDPROC proc, UINT style) {
  WNDCLASSA cls{};
  cls.style = style;
  cls.lpfnWndProc = proc;
  cls.lpszClassName = name;
  RegisterClassA(&cls);
}

// Like the system's own classes, the controls exist before any program
// code runs.
__attribute__((constructor)) void RegisterControlClasses() {
  Register(WC_BUTTONA, ButtonWindowProc(), CS_DBLCLKS);
  Register(WC_STATICA, StaticWindowProc(), 0);
  Register(WC_EDITA, EditWindowProc(), CS_DBLCLKS);
  Register(WC_LISTVIEWA, ListViewWindowProc(), CS_DBLCLKS);
  Register(WC_LISTBOXA, ListBoxWindowProc(), CS_DBLCLKS);
  Register(WC_COMBOLBOXA, ListBoxWindowProc(), CS_DBLCLKS);
  Register(WC_TREEVIEWA, TreeViewWindowProc(), CS_DBLCLKS);
  Register(WC_COMBOBOXA, ComboBoxWindowProc(), CS_DBLCLKS);
  Register(WC_HEADERA, HeaderWindowProc(), 0);
}

}  // namespace
}  // namespace twl::controls
