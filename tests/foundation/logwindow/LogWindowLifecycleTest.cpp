// Showing and hiding, quitting the program from the log window, and the
// window's life: destroying or re-creating it never ends the program and
// never loses memory.
#include <twlwin/messagebox.h>

#include <chrono>
#include <thread>

#include "LogWindowFixture.h"

namespace logwindowtest {
namespace {

bool WaitUntilWindowGone(CLogWindow& log) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMilliseconds);
  while (log.GetWindowHandle()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

TEST_F(LogWindowTest, ShowHideAndHidingForNow) {
  enum Call { kShow, kHide, kBeginHide, kEndHide, kPressHide };
  const struct {
    const char* behaviour;
    std::vector<Call> calls;
    bool visible;
  } cases[] = {
      {"hidden until shown", {}, false},
      {"shown", {kShow}, true},
      {"shown, then hidden", {kShow, kHide}, false},
      {"hidden for now while shown", {kShow, kBeginHide}, false},
      {"back after hiding for now", {kShow, kBeginHide, kEndHide}, true},
      {"shown while hidden for now waits", {kBeginHide, kShow}, false},
      {"and comes when that ends", {kBeginHide, kShow, kEndHide}, true},
      {"hidden stays hidden after hiding for now", {kBeginHide, kEndHide}, false},
      {"the hide button hides", {kShow, kPressHide}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.behaviour);
    Open();
    for (Call call : c.calls) {
      switch (call) {
        case kShow: log.Show(true); break;
        case kHide: log.Hide(); break;
        case kBeginHide: log.BeginHide(); break;
        case kEndHide: log.EndHide(); break;
        case kPressHide: Settle(); Click(kHideButton); break;
      }
    }
    Settle();
    EXPECT_EQ(IsWindowVisible(window) != FALSE, c.visible);
    Close();
  }
}

TEST_F(LogWindowTest, ShowBringsTheWindowToTheFront) {
  MakeMainWindow();
  ShowWindow(mainWindow, SW_SHOW);
  SetForegroundWindow(mainWindow);
  Open();
  log.Show(true);
  Settle();
  EXPECT_EQ(GetForegroundWindow(), window);
}

TEST_F(LogWindowTest, PlaceBehindPutsItRightBehindTheWindow) {
  MakeMainWindow();
  ShowWindow(mainWindow, SW_SHOWNA);
  Open();
  log.Show(true);
  Settle();
  SetWindowPos(mainWindow, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ASSERT_EQ(GetWindow(mainWindow, GW_HWNDNEXT), window);  // the log window is next anyway; move it away
  SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ASSERT_NE(GetWindow(mainWindow, GW_HWNDNEXT), window);

  log.PlaceBehind(mainWindow);
  EXPECT_EQ(GetWindow(mainWindow, GW_HWNDNEXT), window);
  EXPECT_TRUE(IsWindowEnabled(window));
}

TEST_F(LogWindowTest, CloseBoxQuitsTheProgram) {
  MakeMainWindow();
  Open();
  SendMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(TakeQuitFromQueue());
  EXPECT_TRUE(IsWindow(window)) << "the log window itself stays";
}

TEST_F(LogWindowTest, QuitButtonAsksFirst) {
  const struct {
    int answer;
    bool quits;
  } cases[] = {{IDYES, true}, {IDNO, false}};
  MakeMainWindow();
  Open();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answer);
    TwlTestResetMessageBoxes();
    TwlTestPushMessageBoxAnswer(c.answer);
    Click(kQuitButton);
    EXPECT_EQ(TakeQuitFromQueue(), c.quits);
    ASSERT_EQ(TwlTestMessageBoxCount(), 1);
    char text[64] = {};
    char caption[64] = {};
    UINT type = 0;
    ASSERT_TRUE(TwlTestGetMessageBox(0, text, sizeof text, caption, sizeof caption, &type, nullptr));
    EXPECT_STREQ(text, "Really quit?");
    EXPECT_STREQ(caption, "Exit");
    EXPECT_EQ(type, MB_ICONQUESTION | MB_YESNO);
  }
}

// The window's own end is no reason for the program to end.
TEST_F(LogWindowTest, DestroyingOrRecreatingDoesNotQuitTheProgram) {
  MakeMainWindow();
  Open();
  const HWND first = window;
  Open();  // re-created while the first window still runs
  EXPECT_FALSE(IsWindow(first));
  log.Write("still logging\n", LOG_SEVERITY_INFORMATION);
  Settle();
  EXPECT_EQ(TextsOf(FullLog()).front(), "still logging");
  Close();
  EXPECT_EQ(log.GetWindowHandle(), nullptr);
  EXPECT_FALSE(TakeQuitFromQueue());
}

// A quit that reaches the window's thread from elsewhere means the program
// is to end: it goes on to the main window, and the log window closes.
TEST_F(LogWindowTest, QuitFromElsewhereIsPassedToTheMainWindow) {
  MakeMainWindow();
  Open();
  ASSERT_TRUE(PostMessageA(window, WM_QUIT, 0, 0));
  ASSERT_TRUE(WaitUntilWindowGone(log));
  EXPECT_TRUE(TakeQuitFromQueue());
  Close();
}

TEST_F(LogWindowTest, FailingMessageLoopClosesTheWindowQuietly) {
  MakeMainWindow();
  Open();
  TwlTestFailNextGetMessage();
  log.Write("wakes the window thread\n", LOG_SEVERITY_INFORMATION);
  ASSERT_TRUE(WaitUntilWindowGone(log));
  EXPECT_FALSE(TakeQuitFromQueue());
  log.Write("lost\n", LOG_SEVERITY_INFORMATION);
  Close();
}

// Entries written with no window, entries still queued when the window
// goes and entries held back behind a group that never closes are all
// dropped without a leak (the sanitizer build checks).
TEST_F(LogWindowTest, EntriesWithoutAWindowAreDroppedCleanly) {
  log.Write("before the window\n", LOG_SEVERITY_ERROR);
  EXPECT_FALSE(log.BeginWrite());
  log.EndWrite();
  log.Show(true);

  Open();
  std::thread grouping([this] {
    log.BeginWrite();
    log.Write("a group that never closes\n", LOG_SEVERITY_INFORMATION);
  });
  grouping.join();
  for (int i = 0; i < 500; ++i) log.Print(LOG_SEVERITY_WARNING, "held back %d\n", i);
  Settle();
  EXPECT_EQ(TextsOf(FullLog()).size(), 2u);
  for (int i = 0; i < 2000; ++i) log.Print(LOG_SEVERITY_INFORMATION, "maybe not shown %d\n", i);
  Close();

  log.Write("after the window\n", LOG_SEVERITY_ERROR);
  EXPECT_FALSE(log.BeginWrite());
}

}  // namespace
}  // namespace logwindowtest
