// The log front (classes, pop-up rule, window test, assertion hook), the
// deferred sends of the message loop, step timing and the command line
// WinMain is given.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/core/MessageLoop.h"
#include "app/core/ProgramEntry.h"
#include "app/core/System.h"
#include "support/TestPaths.h"
#include "twlwin/testing_user.h"

namespace {

// A system whose log file is a file of the sandbox (written with CR LF);
// the system is the log front while the fixture lives.
class SystemLog : public ::testing::Test {
 protected:
  void SetUp() override {
    m_Path = twltest::MakeTempDir("log") + "/Log.txt";
    m_System.GetLogFile().SetFileName(m_Path.c_str());
    SetLogFront(&m_System);
  }
  void TearDown() override {
    SetLogFront(nullptr);
    m_System.GetLogFile().ClearFileName();
  }
  std::string Log() { return twltest::ReadFile(m_Path); }

  std::string m_Path;
  CSystem m_System;
};

LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeWindow(const char* title, DWORD style) {
  static bool registered = false;
  if (!registered) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &PlainProc;
    windowClass.lpszClassName = "LogTestWindow";
    RegisterClassA(&windowClass);
    registered = true;
  }
  return CreateWindowExA(0, "LogTestWindow", title, style, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
}

}  // namespace

TEST_F(SystemLog, CodesGiveClassesAndPopUps) {
  struct Case {
    DWORD code;
    DWORD logClass;
    bool popUp;
    const char* why;
  } cases[] = {
      {0, 0, false, "progress"},
      {0x100, 2, true, "errors pop up"},
      {0x300, 2, true, "resource errors pop up"},
      {0x200, 2, false, "paint errors only over a maximised window, and there is none"},
      {0x400, 2, false, "as 0x200"},
      {0x180, 2, false, "a low byte never pops up"},
      {0x1100, 2, false, "group 17 is beyond the table"},
      {0x10000, 1, false, "warnings"},
      {0x20000, 1, false, "the high table is all off"},
      {0x1000000, 1, false, "beyond the high table"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GetLogSeverity(c.code), c.logClass) << std::hex << c.code << " " << c.why;
    EXPECT_EQ(m_System.ShouldShowLogWindow(c.code), c.popUp) << std::hex << c.code << " " << c.why;
  }
}

// The window test looks for a maximised, visible window of this program
// with style bit 8, and names it in the log.
TEST_F(SystemLog, PaintErrorsPopUpOverAMaximisedProgramWindow) {
  HWND window = MakeWindow("Big Player", WS_POPUP | WS_VISIBLE | 0x8);
  ASSERT_NE(window, nullptr);
  SetActiveWindow(window);
  EXPECT_FALSE(m_System.ShouldShowLogWindow(0x200)) << "not maximised yet";
  ShowWindow(window, SW_MAXIMIZE);
  ASSERT_TRUE(IsZoomed(window));
  EXPECT_TRUE(m_System.ShouldShowLogWindow(0x200));
  EXPECT_TRUE(m_System.ShouldShowLogWindow(0x400));
  EXPECT_EQ(Log(), "\r\n\r\n\r\nBig Player\r\n\r\n\r\nBig Player");
  SetWindowLongA(window, GWL_STYLE, GetWindowLongA(window, GWL_STYLE) & ~0x8);
  EXPECT_FALSE(m_System.ShouldShowLogWindow(0x200)) << "without style bit 8";
  DestroyWindow(window);
}

// The rule at work: an error shows a hidden log window, a warning leaves
// it hidden. The window's thread shows it when it takes the request.
TEST_F(SystemLog, AnErrorShowsTheLogWindowAWarningDoesNot) {
  CLogWindow& window = m_System.GetLogWindow();
  window.Create(nullptr);
  const HWND handle = window.GetWindowHandle();
  ASSERT_NE(handle, nullptr);
  const DWORD thread = GetWindowThreadProcessId(handle, nullptr);
  ASSERT_FALSE(IsWindowVisible(handle));
  m_System.LogFormat(0x10000, "WARNING: only a warning\n");
  ASSERT_TRUE(TwlTestWaitForIdle(thread, 10000));
  EXPECT_FALSE(IsWindowVisible(handle));
  m_System.LogFormat(0x100, "an error\n");
  ASSERT_TRUE(TwlTestWaitForIdle(thread, 10000));
  EXPECT_TRUE(IsWindowVisible(handle));
  window.Destroy();
}

TEST_F(SystemLog, EntriesGoToTheFileAsWrittenAssertionsNameThePlace) {
  LogFormat(0x100, "entry %d\n", 1);
  m_System.LogFormat(0, "second\n");
  AssertionFailed(nullptr, 12);
  AssertionFailed("list.cpp", 7);
  EXPECT_EQ(Log(),
            "entry 1\r\nsecond\r\n\r\n\r\nASSERTION FAILED: unknown file, line 12\r\n\r\n\r\n\r\nASSERTION FAILED: "
            "list.cpp, line 7\r\n\r\n");
}

TEST_F(SystemLog, TimingNestsAndIsOffWithoutTheFlag) {
  TwlTestUseManualClock(TRUE);
  m_System.BeginTiming();
  m_System.EndTiming("off");
  m_System.SetTimingFlag(true);
  m_System.EndTiming("nothing open");
  m_System.BeginTiming();
  TwlTestAdvanceClock(10);
  m_System.BeginTiming();
  TwlTestAdvanceClock(25);
  m_System.EndTiming("inner step");
  m_System.EndTiming("whole phase");
  // A step marked below the core, with the system as the step timer.
  SetStepTimer(&m_System);
  {
    const TimedStep step("marked step");
    TwlTestAdvanceClock(5);
  }
  SetStepTimer(nullptr);
  EXPECT_EQ(Log(),
            "PERFORMANCE: inner step = 25 ms\r\nPERFORMANCE: whole phase = 35 ms\r\nPERFORMANCE: marked step = 5 "
            "ms\r\n");
  TwlTestUseManualClock(FALSE);
}

namespace {

std::vector<UINT> received;
CSystem* deferringSystem = nullptr;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message >= WM_USER) {
    received.push_back(message);
    // The first send queues another one, which must go out in the same pass.
    if (message == WM_USER + 1) deferringSystem->PostDeferredSendMessage(window, WM_USER + 3, 0, 0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeRecordingWindow() {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = &RecordingProc;
  windowClass.lpszClassName = "DeferredTestWindow";
  RegisterClassA(&windowClass);
  return CreateWindowExA(0, "DeferredTestWindow", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
}

}  // namespace

TEST(DeferredSends, DeliveredInOrderBeforeTheNextMessageQueuedOnesInTheSamePass) {
  CSystem& system = GetSystem();
  deferringSystem = &system;
  HWND window = MakeRecordingWindow();
  ASSERT_NE(window, nullptr);
  system.PostDeferredSendMessage(window, WM_USER + 1, 0, 0);
  system.PostDeferredSendMessage(window, WM_USER + 2, 0, 0);
  PostMessageA(window, WM_USER + 9, 0, 0);
  EXPECT_TRUE(received.empty()) << "nothing is sent at once";

  // The first message taken is the wake-up; the sends go out before it.
  ASSERT_EQ(PumpMessage(), 1);
  EXPECT_EQ(received, (std::vector<UINT>{WM_USER + 1, WM_USER + 2, WM_USER + 3}));
  while (received.size() < 4) ASSERT_EQ(PumpMessage(), 1);
  EXPECT_EQ(received.back(), static_cast<UINT>(WM_USER + 9));

  system.PostDeferredSendMessage(window, WM_USER + 2, 0, 0);
  system.ClearDeferredMessages();
  system.DeliverDeferredMessages();
  EXPECT_EQ(received.size(), 4u) << "cleared records are never sent";
  DestroyWindow(window);
}

TEST(MessageLoop, QuitEndsItAFailingGetMessageFailsIt) {
  SetQuitting(false);
  PostQuitMessage(0);
  EXPECT_TRUE(RunMessageLoop());
  EXPECT_TRUE(IsQuitting());

  SetQuitting(false);
  TwlTestFailNextGetMessage();
  EXPECT_FALSE(RunMessageLoop());
  EXPECT_FALSE(IsQuitting());
}

TEST(CommandLine, ArgumentsJoinedWithBlanksThoseWithBlanksQuotedSeveralFilesEachAdded) {
  struct Case {
    std::vector<const char*> args;
    const char* line;
  } cases[] = {
      {{"twl"}, ""},
      {{"twl", "-p"}, "-p"},
      {{"twl", "-a", "/music/my song.mp3", "-p"}, "-a \"/music/my song.mp3\" -p"},
      {{"twl", "tab\there"}, "\"tab\there\""},
      {{"twl", "/music/a b.ogg"}, "\"/music/a b.ogg\""},
      {{"twl", "a.ogg", "b c.ogg", "d.ogg"}, "-ag \"a.ogg\" -a \"b c.ogg\" -a \"d.ogg\" -p"},
      {{"twl", "", "x"}, "-ag \"\" -a \"x\" -p"},
      {{"twl", "a.ogg", "-p"}, "a.ogg -p"},
  };
  for (const Case& c : cases) {
    std::vector<char*> argv;
    for (const char* arg : c.args) argv.push_back(const_cast<char*>(arg));
    EXPECT_EQ(JoinArguments(static_cast<int>(argv.size()), argv.data()), c.line);
  }
}
