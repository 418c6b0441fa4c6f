// Windows of two threads in one tree: destroying or ending reaches each
// window on its own thread and leaves nothing pointing at a window that is
// gone.
#include <gtest/gtest.h>

#include <future>
#include <thread>

#include "Recorder.h"

using namespace usertest;

namespace {

void PumpUntilQuit() {
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
}

}  // namespace

TEST(Teardown, DestroyingAParentRunsTheWmDestroyOfAnotherThreadsChildOnThatThread) {
  RegisterRecordingClass("Recorder");
  HWND parent = MakeWindow("Recorder", WS_POPUP, {0, 0, 100, 100});
  std::promise<HWND> made;
  std::thread::id workerId;
  std::thread worker([&] {
    workerId = std::this_thread::get_id();
    // No WM_PARENTNOTIFY: the parent's thread is waiting for this one.
    made.set_value(MakeWindow("Recorder", WS_CHILD, {0, 0, 10, 10}, parent, 7, WS_EX_NOPARENTNOTIFY));
    PumpUntilQuit();
  });
  HWND child = made.get_future().get();
  ASSERT_TRUE(child);
  DWORD workerThread = GetWindowThreadProcessId(child, nullptr);
  Recorder::Get().Clear();

  ASSERT_TRUE(DestroyWindow(parent));
  EXPECT_FALSE(IsWindow(child));
  bool sawDestroy = false, sawNcDestroy = false;
  for (const Event& e : Recorder::Get().Events()) {
    if (e.window != child) continue;
    if (e.message == WM_DESTROY) sawDestroy = true;
    if (e.message == WM_NCDESTROY) sawNcDestroy = true;
    if (e.message == WM_DESTROY || e.message == WM_NCDESTROY) {
      EXPECT_EQ(e.thread, workerId) << e.message;
    }
  }
  EXPECT_TRUE(sawDestroy);
  EXPECT_TRUE(sawNcDestroy);
  PostThreadMessageA(workerThread, WM_QUIT, 0, 0);
  worker.join();
}

// A worker thread makes a top-level window and ends; the test's thread had
// made windows that lean on it.
TEST(Teardown, AThreadThatEndsLeavesNothingPointingAtItsWindows) {
  RegisterRecordingClass("Recorder");
  std::promise<HWND> made;
  std::promise<void> letGo;
  std::thread worker([&] {
    made.set_value(MakeWindow("Recorder", WS_POPUP | WS_VISIBLE, {0, 0, 100, 100}));
    letGo.get_future().wait();
  });
  HWND theirs = made.get_future().get();
  ASSERT_TRUE(theirs);
  HWND owned = MakeWindow("Recorder", WS_POPUP, {0, 0, 10, 10}, theirs);
  HWND child = MakeWindow("Recorder", WS_CHILD | WS_VISIBLE, {0, 0, 10, 10}, theirs, 3, WS_EX_NOPARENTNOTIFY);
  ASSERT_EQ(GetWindow(owned, GW_OWNER), theirs);
  ASSERT_EQ(GetParent(child), theirs);
  Recorder::Get().Clear();

  letGo.set_value();
  worker.join();  // the ending thread waits for nothing of ours
  EXPECT_FALSE(IsWindow(theirs));
  EXPECT_EQ(GetWindow(owned, GW_OWNER), nullptr) << "its owner went with the thread";
  EXPECT_TRUE(IsWindow(owned)) << "owned windows of other threads stay";
  EXPECT_EQ(GetParent(child), nullptr) << "no longer inside a window that is gone";
  EXPECT_FALSE(IsWindowVisible(child));
  for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) EXPECT_NE(w, child);

  // The child's own thread destroys it when it next takes messages.
  Pump();
  EXPECT_FALSE(IsWindow(child));
  auto destroys = Recorder::Get().Sequence({WM_DESTROY, WM_NCDESTROY});
  ASSERT_EQ(destroys.size(), 2u);
  EXPECT_EQ(destroys[0], std::make_pair(child, static_cast<UINT>(WM_DESTROY)));
  EXPECT_EQ(destroys[1], std::make_pair(child, static_cast<UINT>(WM_NCDESTROY)));
  for (const Event& e : Recorder::Get().Events()) EXPECT_EQ(e.thread, std::this_thread::get_id());
}
