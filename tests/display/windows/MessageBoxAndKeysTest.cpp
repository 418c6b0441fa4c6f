// The skinned message box (buttons of each MessageBox type, keys, rows,
// the help button, a quit in its loop) and the keys that work whatever has
// the focus: the accelerators through the program's message loop, the
// message window's commands, and Tab between an aux window's tab stops.
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "AuxFixture.h"
#include "app/core/MessageLoop.h"
#include "app/core/System.h"
#include "app/core/UserInterfaceLink.h"
#include "display/auxwindow/AuxMessageBox.h"
#include "display/auxwindow/MessageBoxLines.h"
#include "display/controls/DDControl.h"
#include "display/controls/DDControlServices.h"
#include "pluginhost/hostapi/HostApi.h"
#include "twlwin/drawnbox.h"
#include "twlwin/testing_desktop.h"

namespace displaytest {
namespace {

// Runs the program's loop over what is queued now.
void PumpQueued() {
  MSG message;
  for (int guard = 0; guard < 1000 && PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE); ++guard) PumpMessage();
}

class BoxTest : public AuxTest {
 protected:
  void SetUp() override {
    AuxTest::SetUp();
    // The buttons' focus windows need the controls' services.
    ASSERT_EQ(InitDDControls(GetHostApiTable(), GetModuleHandleA(nullptr)), 1);
    TwlTestResetMessageBoxes();
    // As the program's start makes it, once its windows are up.
    ui().CreateAcceleratorTable();
  }
  void TearDown() override {
    ui().DestroyAcceleratorTable();
    TwlTestResetMessageBoxes();
    SetQuitting(false);
    AuxTest::TearDown();
  }
};

}  // namespace

TEST(MessageBoxLines, BreakWhereTheTextAllowsWithinTheWidth) {
  // Every character is 10 wide.
  const MessageTextMeasure measure = [](std::string_view text) { return static_cast<int>(text.size()) * 10; };
  struct Case {
    const char* why;
    const char* text;
    int width;
    std::vector<std::string> lines;
  } cases[] = {
      {"fits on one line", "short text", 100, {"short text"}},
      {"breaks at the last space that fits", "one two three", 80, {"one two", "three"}},
      {"a line that ends where a space follows still breaks at its own space", "one two three", 70,
       {"one", "two", "three"}},
      {"a word longer than the width breaks at the width", "abcdefghij", 40, {"abcd", "efgh", "ij"}},
      {"line breaks end lines; CR LF is skipped once", "a\r\nb\n\nc", 100, {"a", "b", "", "c"}},
      {"a tab may be a break but starts the next line", "ab\tcd", 40, {"ab", "\tcd"}},
      {"one space is skipped after a line", "aaa  bbb", 40, {"aaa", " bbb"}},
      {"nothing at all", "", 100, {}},
  };
  for (const Case& c : cases) EXPECT_EQ(BreakMessageLines(c.text, c.width, measure), c.lines) << c.why;
}

TEST_F(BoxTest, EachTypeAnswersWithItsButtonsCodes) {
  struct Case {
    const char* why;
    UINT type;
    int scripted;  // 0: none
    int expected;
  } cases[] = {
      {"OK alone", MB_OK, 0, IDOK},
      {"yes or no: Yes by default", MB_YESNO, 0, IDYES},
      {"yes or no, second default", MB_YESNO | MB_DEFBUTTON2, 0, IDNO},
      {"a scripted No", MB_YESNO, IDNO, IDNO},
      {"a scripted answer the box lacks takes the default", MB_YESNO, IDCANCEL, IDYES},
      {"abort, retry, ignore: third default", MB_ABORTRETRYIGNORE | MB_DEFBUTTON3, 0, IDIGNORE},
      {"yes, no, cancel", MB_YESNOCANCEL, IDCANCEL, IDCANCEL},
      {"retry or cancel", MB_RETRYCANCEL | MB_ICONQUESTION, IDRETRY, IDRETRY},
      {"an unknown type is OK", 9, 0, IDOK},
  };
  for (const Case& c : cases) {
    TwlTestResetMessageBoxes();
    if (c.scripted) TwlTestPushMessageBoxAnswer(c.scripted);
    EXPECT_EQ(AuxMessageBox(nullptr, "Question?", "Caption", c.type), c.expected) << c.why;
    ASSERT_EQ(TwlTestMessageBoxCount(), 1) << c.why;
    char text[64] = "";
    TwlTestGetMessageBox(0, text, sizeof text, nullptr, 0, nullptr, nullptr);
    EXPECT_STREQ(text, "Question?") << c.why;
  }
}

TEST_F(BoxTest, EnterAndEscapeChooseTheirButtonsBeforeTheUnseenAnswer) {
  struct Case {
    const char* why;
    int escapeIndex;
    UINT key;
    int expected;
  } cases[] = {
      {"Enter takes the default button", -1, VK_RETURN, 1},
      {"Escape takes the escape button", 2, VK_ESCAPE, 2},
      {"Escape without one leaves it to the answer", -1, VK_ESCAPE, 1},
  };
  for (const Case& c : cases) {
    CAuxMessageBox box;
    box.Create(nullptr, "Keys", "Which?", {"First", "Second", "Third"}, nullptr, 1, c.escapeIndex, -1, 0);
    PostMessageA(box.GetWindowHandle(), WM_KEYDOWN, c.key, 0);
    EXPECT_EQ(box.DoModal(false, false, false), c.expected) << c.why;
    box.Destroy();
    PumpQueued();
  }
}

TEST_F(BoxTest, ButtonsFillRowsOfFourEachCentredAndTheBoxFitsThem) {
  UseSkin(false);  // a stretched frame: the box is exactly as wide as its content
  CAuxMessageBox box;
  const std::vector<std::string> names = {"A", "B", "C", "D", "E", "F"};
  box.Create(nullptr, "Rows", "A text that is long enough to be a line", names, LoadIconA(nullptr, IDI_HAND), 9, -1, 7,
             5);
  EXPECT_EQ(box.GetDefaultIndex(), 0) << "out of range";
  EXPECT_EQ(box.GetHelpIndex(), -1) << "out of range";
  EXPECT_EQ(box.GetAlignment(), 0) << "out of range";
  ASSERT_GE(box.GetLineCount(), 1);
  std::vector<RECT> rects;
  for (int index = 0; index < 6; ++index) {
    CDDControl* button = box.GetControls().FindById(CAuxMessageBox::kFirstButtonId + index);
    ASSERT_NE(button, nullptr) << index;
    EXPECT_NE(button->GetFocusWindow(), nullptr) << "a tab stop";
    rects.push_back(button->GetRect());
  }
  EXPECT_EQ(rects[0].top, rects[3].top);
  EXPECT_GT(rects[4].top, rects[3].bottom) << "the fifth starts a row";
  const int centre = (box.GetMargin(0) + box.GetWidth() - box.GetMargin(2)) / 2;
  EXPECT_NEAR((rects[0].left + rects[3].right) / 2, centre, 3);
  EXPECT_NEAR((rects[4].left + rects[5].right) / 2, centre, 3);
  EXPECT_LE(rects[5].bottom + box.GetMargin(3), box.GetHeight());
  EXPECT_TRUE(box.IsIconShown());
  const RECT label = box.GetControls().FindById(CAuxMessageBox::kFirstLabelId)->GetRect();
  EXPECT_GT(label.left, box.GetIconRect().right) << "the text stands beside the icon";
  box.Destroy();
}

TEST_F(BoxTest, TheHelpButtonTellsTheParentAndEndsNothing) {
  struct HelpRecorder : CWindow {
    int helps = 0;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
      if (message == WM_HELP && reinterpret_cast<HELPINFO*>(lParam)->cbSize == sizeof(HELPINFO)) ++helps;
      return CWindow::WindowProc(message, wParam, lParam);
    }
  } parent;
  parent.Create("Parent", "Parent", kClassName, WS_POPUP | WS_VISIBLE, 0, 10, 10, 200, 200, nullptr, nullptr);
  CAuxMessageBox box;
  box.Create(parent.GetWindowHandle(), "Help", "Help?", {"OK", "Help"}, nullptr, 0, -1, 1, 0);
  box.OnControlClicked(box.GetControls().FindById(CAuxMessageBox::kFirstButtonId + 1));
  EXPECT_EQ(parent.helps, 1);
  TwlTestPushMessageBoxAnswer(2);
  EXPECT_EQ(box.DoModal(false, false, false), 1) << "the scripted second button";
  EXPECT_TRUE(IsWindowEnabled(parent.GetWindowHandle())) << "enabled again";
  box.Destroy();
  parent.Destroy();
}

TEST_F(BoxTest, AQuitInTheLoopEndsTheBoxWithoutAnAnswer) {
  // As PostQuitToMainWindow does: a posted WM_QUIT, taken in turn.
  PostThreadMessageA(GetCurrentThreadId(), WM_QUIT, 0, 0);
  EXPECT_EQ(AuxMessageBox(nullptr, "Quit?", "Quit", MB_YESNO), 0);
  EXPECT_TRUE(IsQuitting());
}

TEST_F(BoxTest, AccelaratorsReachTheMessageWindowWhateverHasTheFocus) {
  CLogWindow& logWindow = GetSystem().GetLogWindow();
  logWindow.Create(nullptr);
  const HWND logHandle = logWindow.GetWindowHandle();
  const DWORD logThread = GetWindowThreadProcessId(logHandle, nullptr);
  CWindow focused;
  focused.Create("Focus", "Focus", kClassName, WS_POPUP | WS_VISIBLE, 0, 300, 300, 50, 50, nullptr, nullptr);
  SetForegroundWindow(focused.GetWindowHandle());
  SetFocus(focused.GetWindowHandle());

  // A menu command with the accelerator's id is not the accelerator.
  SendMessageA(ui().GetMessageWindowHandle(), WM_COMMAND, MAKEWPARAM(4102, 0), 0);
  ASSERT_TRUE(TwlTestWaitForIdle(logThread, 10000));
  EXPECT_FALSE(IsWindowVisible(logHandle));

  TwlTestKey(VK_MENU, TRUE);
  TwlTestKeyPress('L');
  TwlTestKey(VK_MENU, FALSE);
  PumpQueued();
  ASSERT_TRUE(TwlTestWaitForIdle(logThread, 10000));
  // Only that it shows: the log window activates itself on its own thread,
  // so where the focus ends depends on which thread gets there first.
  EXPECT_TRUE(IsWindowVisible(logHandle)) << "Alt+L shows the log";
  logWindow.Destroy();
  focused.Destroy();
}

TEST_F(BoxTest, AltKeysCommandsShowTheirMainWindows) {
  std::array<CWindow, 5> windows;
  for (int index = 1; index < 5; ++index) {
    windows[index].Create("Main", "Main", kClassName, WS_POPUP, 0, 0, 0, 50, 50, nullptr, nullptr);
    ui().SetMainWindow(index, &windows[index]);
  }
  // The accelerators' commands as the table sends them (code 1).
  struct Case {
    char key;
    WORD command;
    int shown;
  } cases[] = {{'P', 4098, 1}, {'F', 4099, 2}, {'O', 4100, 4}, {'S', 4101, 3}};
  for (const Case& c : cases) {
    for (int index = 1; index < 5; ++index) ShowWindow(windows[index].GetWindowHandle(), SW_HIDE);
    SendMessageA(ui().GetMessageWindowHandle(), WM_COMMAND, MAKEWPARAM(c.command, 1), 0);
    for (int index = 1; index < 5; ++index)
      EXPECT_EQ(IsWindowVisible(windows[index].GetWindowHandle()) != 0, index == c.shown)
          << "Alt+" << c.key << ", window " << index;
  }
  for (int index = 1; index < 5; ++index) {
    ui().SetMainWindow(index, nullptr);
    windows[index].Destroy();
  }
}

TEST_F(BoxTest, TabMovesBetweenEnabledTabStopsAndWrapsAround) {
  CAuxWindow window;
  window.Create("Tabs", "Tabs", 100, 100, 200, 200, nullptr, nullptr, false);
  window.Show(true);
  auto child = [&](DWORD style, int y) {
    return CreateWindowExA(0, "BUTTON", "b", WS_CHILD | WS_VISIBLE | style, 10, y, 40, 20, window.GetWindowHandle(),
                           nullptr, nullptr, nullptr);
  };
  child(WS_TABSTOP, 10);
  child(WS_TABSTOP | WS_DISABLED, 40);
  child(0, 70);
  child(WS_TABSTOP, 100);
  child(WS_TABSTOP, 130);
  // The enabled tab stops in the children's order; between two of them lie
  // a disabled one and a plain child.
  std::vector<HWND> stops;
  for (HWND at = GetWindow(window.GetWindowHandle(), GW_CHILD); at; at = GetWindow(at, GW_HWNDNEXT))
    if ((GetWindowLongA(at, GWL_STYLE) & WS_TABSTOP) && IsWindowEnabled(at)) stops.push_back(at);
  ASSERT_EQ(stops.size(), 3u);
  const HWND first = stops[0], middle = stops[1], last = stops[2];
  struct Case {
    const char* why;
    HWND from;
    bool forward;
    HWND to;
  } cases[] = {
      {"forward to the next enabled tab stop", first, true, middle},
      {"forward again", middle, true, last},
      {"forward from the last wraps to the first", last, true, first},
      {"backward from the first wraps to the last", first, false, last},
      {"backward to the previous enabled tab stop", last, false, middle},
      {"the aux window itself gives its first child", window.GetWindowHandle(), true,
       GetWindow(window.GetWindowHandle(), GW_CHILD)},
  };
  SetForegroundWindow(window.GetWindowHandle());
  for (const Case& c : cases) {
    SetFocus(c.from);
    ui().MoveFocus(c.forward);
    EXPECT_EQ(GetFocus(), c.to) << c.why;
  }
  // The keys themselves, through the loop's accelerators.
  SetFocus(last);
  TwlTestKeyPress(VK_TAB);
  PumpQueued();
  EXPECT_EQ(GetFocus(), first) << "Tab";
  TwlTestKey(VK_SHIFT, TRUE);
  TwlTestKeyPress(VK_TAB);
  TwlTestKey(VK_SHIFT, FALSE);
  PumpQueued();
  EXPECT_EQ(GetFocus(), last) << "Shift+Tab";
  window.Destroy();
}

}  // namespace displaytest

namespace displaytest {

TEST_F(BoxTest, F1AsksAnActiveMainWindowWhichHelpAndOpensItOtherwiseAtOnce) {
  CWindow main, options;
  main.Create("Main", "Main", kClassName, WS_POPUP | WS_VISIBLE, 0, 0, 0, 100, 100, nullptr, nullptr);
  options.Create("Options", "Options", kClassName, WS_POPUP | WS_VISIBLE, 0, 200, 0, 100, 100, nullptr, nullptr);
  ui().SetMainWindow(0, &main);
  ui().SetMainWindow(4, &options);
  TwlTestRecordShellLaunches(TRUE);
  struct Case {
    const char* why;
    HWND active;
    int scripted;
    int boxes;
    int launches;
  } cases[] = {
      {"the options window asks; Normal help opens it", options.GetWindowHandle(), 1, 1, 1},
      {"Cancel opens nothing", options.GetWindowHandle(), 3, 1, 0},
      {"no main window active: the help at once", nullptr, 0, 0, 1},
  };
  for (const Case& c : cases) {
    TwlTestResetMessageBoxes();
    TwlTestResetShellLaunches();
    TwlTestRecordShellLaunches(TRUE);
    if (c.active) SetActiveWindow(c.active);
    else SetActiveWindow(nullptr);
    if (c.scripted) TwlTestPushMessageBoxAnswer(c.scripted);
    ui().ShowContextHelp();
    EXPECT_EQ(TwlTestMessageBoxCount(), c.boxes) << c.why;
    EXPECT_EQ(TwlTestShellLaunchCount(), c.launches) << c.why;
    if (c.boxes) {
      char caption[32] = "";
      TwlTestGetMessageBox(0, nullptr, 0, caption, sizeof caption, nullptr, nullptr);
      EXPECT_STREQ(caption, "Help Type?");
    }
    PumpQueued();
  }
  TwlTestResetShellLaunches();
  ui().SetMainWindow(0, nullptr);
  ui().SetMainWindow(4, nullptr);
  options.Destroy();
  main.Destroy();
}

}  // namespace displaytest

namespace displaytest {

TEST_F(BoxTest, MessageWindowCommandsRunOnlyWhatTheyName) {
  ui().MinimizeAll(false);
  ASSERT_TRUE(ui().IsMinimized());
  TwlTestUseManualClock(TRUE);
  TwlTestSleepAdvancesClock(TRUE);
  const HWND messages = ui().GetMessageWindowHandle();
  // Unknown messages and commands that are no accelerators change nothing.
  SendMessageA(messages, WM_COMMAND, MAKEWPARAM(4096 + 9, 1), 0);
  SendMessageA(messages, WM_COMMAND, MAKEWPARAM(4095, 1), 0);
  SendMessageA(messages, 1225, 0, 0);
  EXPECT_TRUE(ui().IsMinimized());
  PostMessageA(messages, CUserInterface::kRestoreAllMessage, 0, 0);
  PumpQueued();
  EXPECT_FALSE(ui().IsMinimized()) << "restored after its pause, in test time";
  TwlTestSleepAdvancesClock(FALSE);
  TwlTestUseManualClock(FALSE);
}

}  // namespace displaytest
