// Moves and sizes that the desktop's frame made: the window takes them on
// its own thread, so its window procedure hears of them as of any other
// SetWindowPos, and the desktop's side never waits for it.
#include "WindowManager.h"
#include "twlwin/presenter.h"

using namespace twl::user;

TWLAPI BOOL TwlInputPlaceWindow(HWND window, const RECT* rect) {
  if (!rect || rect->right < rect->left || rect->bottom < rect->top) return FALSE;
  DWORD threadId = 0;
  {
    Guard guard(Lock());
    Window* w = FindLocked(window);
    if (!w || w->parent || w->messageOnly) return FALSE;
    threadId = w->threadId;
  }
  RECT r = *rect;
  RunOnThread(threadId, [window, r] {
    SetWindowPos(window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  });
  return TRUE;
}
