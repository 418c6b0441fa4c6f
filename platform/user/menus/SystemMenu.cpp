// Window system menus: each window with WS_SYSMENU gets its own copy of the
// standard menu on first use, kept until the window goes (noticed the next
// time a system menu is asked for) or the copy is reverted.
#include <mutex>
#include <unordered_map>

#include "MenuModel.h"
#include "platform/user/WindowManager.h"
#include "twlwin/errors.h"

namespace twl::user::menus {

namespace {

struct SystemMenus {
  std::mutex lock;  // taken before the window manager's lock, never after
  std::unordered_map<uint32_t, HMENU> byWindow;
};

SystemMenus& TheSystemMenus() {
  static auto* menus = new SystemMenus;  // never destroyed: windows may go during exit
  return *menus;
}

Item Command(UINT id, const char* text, bool enabled) {
  Item item;
  item.id = id;
  item.text = text;
  item.state = enabled ? 0 : MFS_GRAYED;
  return item;
}

// The standard items, those the window's style and state rule out disabled.
std::vector<Item> StandardItems(DWORD style) {
  const bool minimized = style & WS_MINIMIZE;
  const bool maximized = style & WS_MAXIMIZE;
  const bool normal = !minimized && !maximized;
  Item separator;
  separator.type = MFT_SEPARATOR;
  Item close = Command(SC_CLOSE, "&Close\tAlt+F4", true);
  close.state |= MFS_DEFAULT;
  return {
      Command(SC_RESTORE, "&Restore", !normal),
      Command(SC_MOVE, "&Move", !maximized),
      Command(SC_SIZE, "&Size", normal && (style & WS_THICKFRAME)),
      Command(SC_MINIMIZE, "Mi&nimize", !minimized && (style & WS_MINIMIZEBOX)),
      Command(SC_MAXIMIZE, "Ma&ximize", !maximized && (style & WS_MAXIMIZEBOX)),
      separator,
      close,
  };
}

// Drops the copies of windows that are gone; both locks held.
void ForgetGoneWindowsLocked(SystemMenus& menus) {
  std::erase_if(menus.byWindow, [](const auto& entry) {
    if (FindLocked(entry.first)) return false;
    Destroy(entry.second);
    return true;
  });
}

}  // namespace

}  // namespace twl::user::menus

using namespace twl::user;
using namespace twl::user::menus;

TWLAPI HMENU GetSystemMenu(HWND window, BOOL revert) {
  SystemMenus& menus = TheSystemMenus();
  std::lock_guard menusGuard(menus.lock);
  DWORD style = 0;
  {
    Guard guard(Lock());
    Window* w = FindLocked(window);
    if (!w) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return nullptr;
    }
    style = w->style;
    ForgetGoneWindowsLocked(menus);
  }
  auto found = menus.byWindow.find(IdOf(window));
  if (revert) {
    if (found != menus.byWindow.end()) {
      Destroy(found->second);
      menus.byWindow.erase(found);
    }
    return nullptr;
  }
  if (!(style & WS_SYSMENU)) return nullptr;
  if (found != menus.byWindow.end() && Exists(found->second)) return found->second;
  HMENU menu = CreateFilled(true, StandardItems(style));
  if (!menu) return nullptr;
  SetSystemMenuOwner(menu, IdOf(window));
  menus.byWindow[IdOf(window)] = menu;
  return menu;
}
