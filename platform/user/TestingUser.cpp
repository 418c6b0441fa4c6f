// The testing controls that look at windows and queues as a whole: the
// window list, running a queue until idle and the manual clock.
#include <chrono>
#include <thread>

#include "RegionHandles.h"
#include "WindowLayout.h"
#include "WindowManager.h"
#include "platform/kernel/Clock.h"
#include "twlwin/errors.h"
#include "twlwin/regions.h"
#include "twlwin/testing_user.h"

namespace twl::user {

namespace {

void ListSubtreeLocked(uint32_t id, std::vector<uint32_t>& out) {
  out.push_back(id);
  if (Window* w = FindLocked(id))
    for (uint32_t child : w->children) ListSubtreeLocked(child, out);
}

bool IdleLocked(ThreadQueue& queue) {
  if (!queue.waiting || !queue.incoming.empty()) return false;
  MSG msg;
  bool input;
  return !TakeMessageLocked(queue, &msg, nullptr, 0, 0, false, &input);
}

}  // namespace

}  // namespace twl::user

using namespace twl::user;

TWLAPI int TwlTestListWindows(HWND* windows, int capacity) {
  Guard guard(Lock());
  std::vector<uint32_t> all;
  for (uint32_t id : LocalTopLevelsLocked()) ListSubtreeLocked(id, all);
  for (auto& [id, w] : Model().windows)
    if (w->messageOnly) ListSubtreeLocked(id, all);
  for (size_t i = 0; windows && i < all.size() && i < static_cast<size_t>(capacity > 0 ? capacity : 0); ++i)
    windows[i] = HwndOf(all[i]);
  return static_cast<int>(all.size());
}

TWLAPI int TwlTestPumpMessages() {
  constexpr int kLimit = 100000;
  int count = 0;
  MSG msg;
  while (count < kLimit && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Leave the quit for the program's own loop to see.
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    ++count;
  }
  return count;
}

TWLAPI BOOL TwlTestWaitForIdle(DWORD threadId, DWORD timeoutMilliseconds) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMilliseconds);
  for (;;) {
    {
      Guard guard(Lock());
      ThreadQueue* queue = QueueLocked(threadId);
      if (!queue) return FALSE;
      if (IdleLocked(*queue)) return TRUE;
    }
    if (std::chrono::steady_clock::now() >= deadline) return FALSE;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

TWLAPI void TwlTestFailNextGetMessage() { FailNextGetMessage(0); }

TWLAPI void TwlTestFailNextGetMessageOfThread(DWORD threadId) { FailNextGetMessage(threadId); }

// The queues hear of the clock's moves through their clock watcher
// (WindowManager.cpp), as every other wait does.
TWLAPI void TwlTestUseManualClock(BOOL manual) { twl::UseManualClock(manual != FALSE); }

TWLAPI void TwlTestAdvanceClock(DWORD milliseconds) { twl::AdvanceManualClock(milliseconds); }

TWLAPI int TwlTestGetVisibleRegion(HWND window, HRGN region) {
  {
    Guard guard(Lock());
    if (!FindLocked(window)) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return ERROR;
    }
  }
  return ReplaceRegion(region, VisibleRegion(window));
}

TWLAPI void TwlTestSleepAdvancesClock(BOOL on) { twl::SetSleepAdvancesClock(on != FALSE); }
