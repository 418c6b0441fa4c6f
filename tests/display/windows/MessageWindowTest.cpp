// The message window: work posted from other threads runs on the thread
// that made the window, queued messages of one number can be thrown away
// or run at once, and a window made again replaces the old one.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "display/MessageWindow.h"

namespace {

constexpr UINT kWork = WM_USER + 700;
constexpr UINT kOther = WM_USER + 701;

// Records the messages its window gets; discards queued copies of the
// work message when it handles the first.
struct MessageOwner {
  static void OnMessage(void* self, UINT message, WPARAM wParam, LPARAM) {
    auto& owner = *static_cast<MessageOwner*>(self);
    owner.threads.push_back(GetCurrentThreadId());
    owner.messages.push_back(message);
    if (message == kWork) {
      owner.works.push_back(wParam);
      if (owner.window) owner.window->DiscardMessages(kWork);
    }
  }
  CMessageWindow* window = nullptr;
  std::vector<UINT> messages;
  std::vector<WPARAM> works;
  std::vector<DWORD> threads;
};

void PumpQueue() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

TEST(MessageWindow, ABurstPostedFromAWorkerIsHandledOnceOnTheOwnersThread) {
  MessageOwner owner;
  CMessageWindow window;
  owner.window = &window;
  window.Create(&MessageOwner::OnMessage, &owner);
  ASSERT_NE(window.GetWindowHandle(), nullptr);
  std::thread worker([&] {
    for (WPARAM i = 0; i < 10; ++i) EXPECT_TRUE(PostMessageA(window.GetWindowHandle(), kWork, i, 0));
  });
  worker.join();
  owner.threads.clear();
  PumpQueue();
  EXPECT_EQ(owner.works, std::vector<WPARAM>{0});
  for (DWORD thread : owner.threads) EXPECT_EQ(thread, GetCurrentThreadId());
}

TEST(MessageWindow, QueuedMessagesOfOneNumberRunAtOnceOrAreDiscarded) {
  MessageOwner owner;
  CMessageWindow window;
  window.Create(&MessageOwner::OnMessage, &owner);
  PostMessageA(window.GetWindowHandle(), kOther, 1, 0);
  PostMessageA(window.GetWindowHandle(), kWork, 1, 0);
  PostMessageA(window.GetWindowHandle(), kWork, 2, 0);
  window.DispatchMessages(kWork);
  EXPECT_EQ(owner.works, (std::vector<WPARAM>{1, 2})) << "only that number, in order";
  EXPECT_TRUE(window.DiscardMessages(kOther));
  EXPECT_FALSE(window.DiscardMessages(kOther));
  owner.messages.clear();
  PumpQueue();
  EXPECT_EQ(owner.messages, std::vector<UINT>{});
}

TEST(MessageWindow, CreatingAgainLeavesOneWindowAndDestroyReachesTheCallback) {
  MessageOwner owner;
  CMessageWindow window;
  window.Create(&MessageOwner::OnMessage, &owner);
  HWND first = window.GetWindowHandle();
  window.Create(&MessageOwner::OnMessage, &owner);
  EXPECT_FALSE(IsWindow(first));
  EXPECT_TRUE(IsWindow(window.GetWindowHandle()));
  EXPECT_FALSE(IsWindowVisible(window.GetWindowHandle()));

  owner.messages.clear();
  HWND second = window.GetWindowHandle();
  window.Destroy();
  EXPECT_EQ(window.GetWindowHandle(), nullptr);
  EXPECT_FALSE(IsWindow(second));
  EXPECT_NE(std::find(owner.messages.begin(), owner.messages.end(), static_cast<UINT>(WM_DESTROY)),
            owner.messages.end());
  EXPECT_FALSE(PostMessageA(second, kWork, 0, 0)) << "messages to a destroyed window are lost";
}

}  // namespace
