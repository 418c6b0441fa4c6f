#include "foundation/appcore/MainWindow.h"

#include <atomic>

namespace {

std::atomic<HWND> TheMainWindowHandle{nullptr};

}  // namespace

void SetMainWindowHandle(HWND window) { TheMainWindowHandle.store(window); }

HWND GetMainWindowHandle() { return TheMainWindowHandle.load(); }

bool PostQuitToMainWindow() {
  const HWND window = GetMainWindowHandle();
  // A null window would post to the calling thread's own queue instead.
  if (!window) return false;
  return PostMessageA(window, WM_QUIT, 0, 0) != FALSE;
}
