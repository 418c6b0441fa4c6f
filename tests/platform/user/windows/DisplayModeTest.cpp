// Display mode changes: every top-level window hears of one, on its own
// thread; a mode the screen cannot have changes nothing.
#include <gtest/gtest.h>

#include <future>
#include <thread>

#include "Recorder.h"

using namespace usertest;

TEST(DisplayMode, AChangeReachesEveryTopLevelWindowOnItsOwnThread) {
  RegisterRecordingClass("Recorder");
  HWND mine = MakeWindow("Recorder", WS_POPUP, {0, 0, 10, 10});
  HWND child = MakeWindow("Recorder", WS_CHILD, {0, 0, 5, 5}, mine, 1);
  std::promise<HWND> ready;
  std::thread worker([&ready] {
    ready.set_value(MakeWindow("Recorder", WS_POPUP, {0, 0, 10, 10}));
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  });
  HWND theirs = ready.get_future().get();
  DWORD workerThread = GetWindowThreadProcessId(theirs, nullptr);
  Recorder::Get().Clear();

  TwlTestSetScreen(800, 600, 16);
  // The worker pumps on its own, so its window may hear of the change at any
  // moment; this thread's window must have heard of it before the call returns.
  auto changesOf = [](HWND window) {
    std::vector<Event> found;
    for (const Event& e : Recorder::Get().Of(WM_DISPLAYCHANGE))
      if (e.window == window) found.push_back(e);
    return found;
  };
  auto mineChanges = changesOf(mine);
  ASSERT_EQ(mineChanges.size(), 1u) << "this thread's window hears of it before the change returns";
  EXPECT_EQ(mineChanges[0].wParam, 16u);
  EXPECT_EQ(mineChanges[0].lParam, MAKELPARAM(800, 600));
  ASSERT_TRUE(TwlTestWaitForIdle(workerThread, 20000));
  EXPECT_EQ(Recorder::Get().Of(WM_DISPLAYCHANGE).size(), 2u);
  auto theirChanges = changesOf(theirs);
  ASSERT_EQ(theirChanges.size(), 1u);
  EXPECT_NE(theirChanges[0].thread, std::this_thread::get_id());
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_EQ(work.bottom, 600);
  (void)child;

  Recorder::Get().Clear();
  TwlTestSetScreen(640, 480, 12);  // no such depth
  TwlTestSetScreen(100000, 480, 32);
  EXPECT_TRUE(Recorder::Get().Of(WM_DISPLAYCHANGE).empty());
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);

  PostThreadMessageA(workerThread, WM_QUIT, 0, 0);
  worker.join();
}
