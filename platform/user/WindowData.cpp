// Window data: the GWL_ slots, extra bytes, the title and the procedure.
#include <algorithm>
#include <cstring>

#include <unistd.h>

#include "WindowRecords.h"
#include "WindowManager.h"
#include "twlwin/errors.h"

namespace twl::user {

namespace {

// Reads or writes `width` bytes of a window's extra bytes.
bool ExtraInRange(const std::vector<BYTE>& extra, int index, size_t width) {
  return index >= 0 && static_cast<size_t>(index) + width <= extra.size();
}

LONG_PTR ReadExtra(const std::vector<BYTE>& extra, int index, size_t width) {
  if (width == sizeof(LONG)) {
    LONG value;
    std::memcpy(&value, extra.data() + index, sizeof value);
    return value;
  }
  LONG_PTR value;
  std::memcpy(&value, extra.data() + index, sizeof value);
  return value;
}

bool LocalLong(const Window& w, int index, size_t width, LONG_PTR* value) {
  if (index >= 0) {
    if (!ExtraInRange(w.extra, index, width)) return false;
    *value = ReadExtra(w.extra, index, width);
    return true;
  }
  switch (index) {
    case GWL_WNDPROC: *value = reinterpret_cast<LONG_PTR>(w.proc); return true;
    case GWL_HINSTANCE: *value = reinterpret_cast<LONG_PTR>(w.instance); return true;
    case GWL_HWNDPARENT: *value = w.parent ? w.parent : w.owner; return true;
    case GWL_ID: *value = w.controlId; return true;
    case GWL_STYLE: *value = static_cast<LONG>(w.style); return true;
    case GWL_EXSTYLE: *value = static_cast<LONG>(w.exStyle); return true;
    case GWL_USERDATA: *value = w.userData; return true;
  }
  return false;
}

LONG_PTR GetLong(HWND window, int index, size_t width) {
  {
    Guard guard(Lock());
    if (Window* w = FindLocked(window)) {
      LONG_PTR value = 0;
      if (LocalLong(*w, index, width, &value)) return value;
      SetLastError(ERROR_INVALID_INDEX);
      return 0;
    }
  }
  // Another process's window: what it published.
  auto foreign = FindForeign(IdOf(window));
  if (!foreign) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  if (index >= 0 && ExtraInRange(foreign->extra, index, width)) return ReadExtra(foreign->extra, index, width);
  if (index == GWL_STYLE) return static_cast<LONG>(foreign->style);
  if (index == GWL_EXSTYLE) return static_cast<LONG>(foreign->exStyle);
  SetLastError(index >= 0 ? ERROR_INVALID_INDEX : ERROR_ACCESS_DENIED);
  return 0;
}

LONG_PTR SetLong(HWND window, int index, LONG_PTR value, size_t width) {
  RecordUpdate records;
  Guard guard(Lock());
  Window* w = FindLocked(window);
  if (!w) {
    guard.unlock();
    SetLastError(FindForeign(IdOf(window)) ? ERROR_ACCESS_DENIED : ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  LONG_PTR old = 0;
  bool republish = true;
  if (index >= 0) {
    if (!ExtraInRange(w->extra, index, width)) {
      SetLastError(ERROR_INVALID_INDEX);
      return 0;
    }
    old = ReadExtra(w->extra, index, width);
    if (width == sizeof(LONG)) {
      LONG narrow = static_cast<LONG>(value);
      std::memcpy(w->extra.data() + index, &narrow, sizeof narrow);
    } else {
      std::memcpy(w->extra.data() + index, &value, sizeof value);
    }
  } else {
    switch (index) {
      case GWL_WNDPROC:
        old = reinterpret_cast<LONG_PTR>(w->proc);
        w->proc = reinterpret_cast<WNDPROC>(value);
        republish = false;
        break;
      case GWL_HINSTANCE:
        old = reinterpret_cast<LONG_PTR>(w->instance);
        w->instance = reinterpret_cast<HINSTANCE>(value);
        republish = false;
        break;
      case GWL_HWNDPARENT:
        old = w->owner;
        if (!w->parent) {
          // An owner among the windows this one owns would make a ring
          // that ownership walks (z-order, topmost band) never leave.
          uint32_t owner = RootLocked(static_cast<uint32_t>(value));
          bool ring = false;
          for (const Window* up = FindLocked(owner); up && !ring; up = FindLocked(up->owner)) ring = up->id == w->id;
          if (!ring) w->owner = owner;
        }
        break;
      case GWL_ID:
        old = w->controlId;
        w->controlId = value;
        republish = false;
        break;
      case GWL_STYLE:
        old = static_cast<LONG>(w->style);
        w->style = static_cast<DWORD>(value);
        break;
      case GWL_EXSTYLE:
        old = static_cast<LONG>(w->exStyle);
        w->exStyle = static_cast<DWORD>(value);
        break;
      case GWL_USERDATA:
        old = w->userData;
        w->userData = value;
        republish = false;
        break;
      default:
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
  }
  if (republish) records.WindowChangedLocked(*w);
  guard.unlock();
  records.Write();
  SetLastError(ERROR_SUCCESS);
  return old;
}

bool OwnedByThisThread(HWND window) {
  Guard guard(Lock());
  Window* w = FindLocked(window);
  return w && w->threadId == ThisThreadId();
}

// The stored title, read without asking the window (other threads and
// other processes).
bool StoredTitle(HWND window, std::string* title) {
  {
    Guard guard(Lock());
    if (Window* w = FindLocked(window)) {
      *title = w->text;
      return true;
    }
  }
  auto foreign = FindForeign(IdOf(window));
  if (!foreign) return false;
  *title = foreign->title;
  return true;
}

}  // namespace

void StoreTitle(HWND window, const char* text) {
  RecordUpdate records;
  {
    Guard guard(Lock());
    Window* w = FindLocked(window);
    if (!w) return;
    w->text = text ? text : "";
    records.WindowChangedLocked(*w);
  }
  records.Write();
}

}  // namespace twl::user

using namespace twl::user;

TWLAPI LONG_PTR GetWindowLongA(HWND window, int index) { return GetLong(window, index, sizeof(LONG)); }
TWLAPI LONG_PTR SetWindowLongA(HWND window, int index, LONG_PTR value) {
  return SetLong(window, index, value, sizeof(LONG));
}
TWLAPI LONG_PTR GetWindowLongPtrA(HWND window, int index) { return GetLong(window, index, sizeof(LONG_PTR)); }
TWLAPI LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value) {
  return SetLong(window, index, value, sizeof(LONG_PTR));
}

TWLAPI LRESULT CallWindowProcA(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!procedure) return 0;
  return procedure(window, message, wParam, lParam);
}

TWLAPI BOOL SetWindowTextA(HWND window, LPCSTR text) {
  if (!IsWindow(window)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  {
    Guard guard(Lock());
    if (!FindLocked(window)) {
      SetLastError(ERROR_ACCESS_DENIED);
      return FALSE;
    }
  }
  return SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : "")) ? TRUE : FALSE;
}

TWLAPI int GetWindowTextA(HWND window, LPSTR buffer, int size) {
  if (!buffer || size <= 0) return 0;
  buffer[0] = '\0';
  if (OwnedByThisThread(window))
    return static_cast<int>(SendMessageA(window, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer)));
  std::string title;
  if (!StoredTitle(window, &title)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  size_t n = std::min(title.size(), static_cast<size_t>(size - 1));
  std::memcpy(buffer, title.data(), n);
  buffer[n] = '\0';
  return static_cast<int>(n);
}

TWLAPI int GetWindowTextLengthA(HWND window) {
  if (OwnedByThisThread(window)) return static_cast<int>(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0));
  std::string title;
  if (!StoredTitle(window, &title)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  return static_cast<int>(title.size());
}

TWLAPI DWORD GetWindowThreadProcessId(HWND window, LPDWORD processId) {
  {
    Guard guard(Lock());
    if (Window* w = FindLocked(window)) {
      if (processId) *processId = static_cast<DWORD>(getpid());
      return w->threadId;
    }
  }
  auto foreign = FindForeign(IdOf(window));
  if (!foreign) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  if (processId) *processId = foreign->processId;
  return foreign->threadId;
}

TWLAPI HWND GetDlgItem(HWND parent, int id) {
  Guard guard(Lock());
  Window* w = FindLocked(parent);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  for (uint32_t child : w->children)
    if (Window* c = FindLocked(child); c && static_cast<int>(c->controlId) == id) return HwndOf(child);
  SetLastError(1421);  // ERROR_CONTROL_ID_NOT_FOUND
  return nullptr;
}

TWLAPI int GetDlgCtrlID(HWND window) {
  Guard guard(Lock());
  Window* w = FindLocked(window);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  return w->parent ? static_cast<int>(w->controlId) : 0;
}
