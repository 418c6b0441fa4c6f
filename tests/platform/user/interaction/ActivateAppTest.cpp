// WM_ACTIVATEAPP: posted to every top-level window of the thread that gains
// or loses the activation, so the message loop sees it before dispatching.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/user/windows/Recorder.h"

using namespace usertest;

namespace {

// Runs this thread's queue as a program's loop does, keeping what the loop
// saw of WM_ACTIVATEAPP before dispatching it.
std::vector<MSG> LoopSeesActivateApp() {
  std::vector<MSG> seen;
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_ACTIVATEAPP) seen.push_back(msg);
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return seen;
}

}  // namespace

TEST(ActivateApp, TheThreadsWindowsHearWhenItGainsAndLosesTheActivation) {
  RegisterRecordingClass("AppWindow");
  HWND hidden = MakeWindow("AppWindow", WS_POPUP, {0, 0, 10, 10});
  HWND first = MakeWindow("AppWindow", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 200, 200});
  auto gained = LoopSeesActivateApp();
  ASSERT_EQ(gained.size(), 2u) << "one for each top-level window, hidden ones too";
  for (const MSG& msg : gained) {
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>(TRUE));
    EXPECT_TRUE(msg.hwnd == first || msg.hwnd == hidden);
  }
  EXPECT_EQ(Recorder::Get().Of(WM_ACTIVATEAPP).size(), 2u) << "and dispatched to them";

  HWND second = MakeWindow("AppWindow", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {300, 0, 500, 200});
  SetActiveWindow(first);
  SetActiveWindow(second);
  EXPECT_TRUE(LoopSeesActivateApp().empty()) << "moving between its own windows changes nothing";

  Recorder::Get().Clear();
  DestroyWindow(first);
  DestroyWindow(second);
  auto lost = LoopSeesActivateApp();
  ASSERT_EQ(lost.size(), 1u);
  EXPECT_EQ(lost[0].hwnd, hidden);
  EXPECT_EQ(lost[0].wParam, static_cast<WPARAM>(FALSE));
  DestroyWindow(hidden);
}

TEST(ActivateApp, NamesTheThreadOnTheOtherSide) {
  RegisterRecordingClass("AppWindow");
  HWND mine = MakeWindow("AppWindow", WS_OVERLAPPEDWINDOW | WS_VISIBLE, {0, 0, 200, 200});
  LoopSeesActivateApp();
  Recorder::Get().Clear();

  std::atomic<DWORD> otherId{0};
  std::atomic<bool> otherGained{false};
  std::thread other([&] {
    otherId = GetCurrentThreadId();
    HWND theirs = MakeWindow("AppWindow", WS_OVERLAPPEDWINDOW, {300, 0, 500, 200});
    ShowWindow(theirs, SW_SHOWNA);
    SetForegroundWindow(theirs);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
      if (msg.message == WM_ACTIVATEAPP && msg.wParam) otherGained = true;
      DispatchMessageA(&msg);
    }
    DestroyWindow(theirs);
  });
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  std::vector<MSG> lost;
  while (lost.empty() && std::chrono::steady_clock::now() < deadline) {
    lost = LoopSeesActivateApp();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  while (!otherGained && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
  PostThreadMessageA(otherId, WM_QUIT, 0, 0);
  other.join();

  ASSERT_EQ(lost.size(), 1u);
  EXPECT_EQ(lost[0].hwnd, mine);
  EXPECT_EQ(lost[0].wParam, static_cast<WPARAM>(FALSE));
  EXPECT_EQ(static_cast<DWORD>(lost[0].lParam), otherId.load());
  EXPECT_TRUE(otherGained);
  bool namedUs = false;
  for (const Event& e : Recorder::Get().Of(WM_ACTIVATEAPP))
    if (e.wParam && static_cast<DWORD>(e.lParam) == GetCurrentThreadId()) namedUs = true;
  EXPECT_TRUE(namedUs) << "the gaining thread hears which thread lost";
  DestroyWindow(mine);
}
