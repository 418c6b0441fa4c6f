// The cursor on show and its display counter, and WM_SETCURSOR.
#include "Cursors.h"

#include <mutex>

#include "ScreenEvents.h"

#include "WindowManager.h"
#include "twlwin/cursors.h"
#include "twlwin/presenter.h"
#include "twlwin/resources.h"
#include "twlwin/testing_desktop.h"

namespace twl::user {

namespace {

struct CursorState {
  std::mutex lock;
  bool set = false;  // before the first SetCursor the arrow shows
  HCURSOR cursor = nullptr;
  int showCount = 0;
};

CursorState& TheCursor() {
  static auto* state = new CursorState;  // never destroyed: used during exit
  return *state;
}

HCURSOR Arrow() { return LoadCursorA(nullptr, IDC_ARROW); }

bool IsMouseMessage(UINT message) {
  return (message >= WM_MOUSEFIRST && message <= WM_MBUTTONDBLCLK) ||
         (message >= WM_NCMOUSEMOVE && message <= WM_NCMBUTTONDBLCLK);
}

}  // namespace

void SendSetCursor(const MSG& msg) {
  if (!IsMouseMessage(msg.message)) return;
  {
    Guard guard(Lock());
    if (FindLocked(Model().capture)) return;
  }
  const bool client = msg.message >= WM_MOUSEFIRST;
  const WORD hit = client ? HTCLIENT : static_cast<WORD>(msg.wParam);
  SendMessageA(msg.hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(msg.hwnd), MAKELPARAM(hit, msg.message));
}

LRESULT DefaultSetCursor(HWND window, WPARAM wParam, LPARAM lParam) {
  if ((GetWindowLongA(window, GWL_STYLE) & WS_CHILD)) {
    HWND parent = GetParent(window);
    if (parent && SendMessageA(parent, WM_SETCURSOR, wParam, lParam)) return TRUE;
  }
  if (static_cast<SHORT>(LOWORD(lParam)) != HTCLIENT) {
    SetCursor(Arrow());
    return FALSE;
  }
  if (HCURSOR own = reinterpret_cast<HCURSOR>(GetClassLongA(window, GCL_HCURSOR))) SetCursor(own);
  return FALSE;
}

}  // namespace twl::user

using namespace twl::user;

TWLAPI HCURSOR SetCursor(HCURSOR cursor) {
  HCURSOR arrow = Arrow();
  HCURSOR previous = nullptr;
  {
    CursorState& state = TheCursor();
    std::lock_guard guard(state.lock);
    previous = state.set ? state.cursor : arrow;
    state.cursor = cursor;
    state.set = true;
  }
  if (previous != cursor) TellDesktopChange(TWL_SCREEN_CURSOR, nullptr);
  return previous;
}

TWLAPI HCURSOR GetCursor() {
  HCURSOR arrow = Arrow();
  CursorState& state = TheCursor();
  std::lock_guard guard(state.lock);
  return state.set ? state.cursor : arrow;
}

TWLAPI int ShowCursor(BOOL show) {
  int count = 0;
  {
    CursorState& state = TheCursor();
    std::lock_guard guard(state.lock);
    count = show ? ++state.showCount : --state.showCount;
  }
  // The cursor shows while the count is 0 or more: only crossing that line
  // changes what a presenter shows.
  if (count == (show ? 0 : -1)) TellDesktopChange(TWL_SCREEN_CURSOR, nullptr);
  return count;
}

TWLAPI BOOL TwlIsCursorShown(void) {
  CursorState& state = TheCursor();
  std::lock_guard guard(state.lock);
  return state.showCount >= 0;
}

TWLAPI HCURSOR TwlTestGetCursor() { return GetCursor(); }

TWLAPI int TwlTestGetCursorShowCount() {
  CursorState& state = TheCursor();
  std::lock_guard guard(state.lock);
  return state.showCount;
}
