// Files dropped on a window: the drop object behind HDROP (the names) and
// the testing header's drop at a screen point.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/kernel/IdTable.h"
#include "platform/text/Utf8Prefix.h"
#include "twlwin/errors.h"
#include "twlwin/shell.h"
#include "twlwin/testing_desktop.h"
#include "twlwin/windowing.h"

namespace twl::shell {

namespace {

struct Drop {
  std::vector<std::string> files;
};

IdTable<Drop>& Drops() {
  static auto* drops = new IdTable<Drop>;  // never destroyed: drops may be finished during exit
  return *drops;
}

uint32_t IdOf(HDROP drop) {
  auto value = reinterpret_cast<uintptr_t>(drop);
  return value > 0xFFFFFFFFu ? 0 : static_cast<uint32_t>(value);
}

// The window under the point, or its nearest ancestor, that takes files.
HWND DropTarget(POINT at) {
  HWND window = WindowFromPoint(at);
  if (!window || !IsWindowEnabled(GetAncestor(window, GA_ROOT))) return nullptr;
  for (; window; window = (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) ? GetParent(window) : nullptr)
    if (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) return window;
  return nullptr;
}

}  // namespace

}  // namespace twl::shell

using namespace twl::shell;

TWLAPI UINT DragQueryFileA(HDROP handle, UINT index, LPSTR buffer, UINT size) {
  auto drop = Drops().Find(IdOf(handle));
  if (!drop) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  if (index == 0xFFFFFFFFu) return static_cast<UINT>(drop->files.size());
  if (index >= drop->files.size()) return 0;
  const std::string& name = drop->files[index];
  if (!buffer) return static_cast<UINT>(name.size());
  if (size == 0) return 0;
  size_t n = twl::Utf8PrefixLength(reinterpret_cast<const BYTE*>(name.data()), name.size(), size - 1);
  std::memcpy(buffer, name.data(), n);
  buffer[n] = '\0';
  return static_cast<UINT>(n);
}

TWLAPI void DragFinish(HDROP handle) { Drops().Remove(IdOf(handle)); }

TWLAPI BOOL TwlTestDropFiles(int x, int y, const LPCSTR* paths, int count) {
  if (!paths || count <= 0) return FALSE;
  auto drop = std::make_shared<Drop>();
  for (int i = 0; i < count; ++i) {
    if (!paths[i]) return FALSE;
    drop->files.emplace_back(paths[i]);
  }
  HWND target = DropTarget(POINT{x, y});
  if (!target) return FALSE;
  uint32_t id = Drops().Insert(drop);
  if (!id) return FALSE;
  HDROP handle = reinterpret_cast<HDROP>(static_cast<uintptr_t>(id));
  if (PostMessageA(target, WM_DROPFILES, reinterpret_cast<WPARAM>(handle), 0)) return TRUE;
  Drops().Remove(id);
  return FALSE;
}
