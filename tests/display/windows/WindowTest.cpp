// The window framework: making and ending windows, the owner's notices,
// the dispatch of messages to handlers, a handler's error, the tick thread
// on the manual clock, dropped files and the routing of control events.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "DisplayFixture.h"
#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Error.h"
#include "support/TestPaths.h"
#include "twlwin/testing.h"
#include "twlwin/testing_desktop.h"

using namespace displaytest;

namespace {

struct Owner : CWindowOwner {
  void OnWindowEvent(CWindow*, int code) override { codes.push_back(code); }
  std::vector<int> codes;
};

// Writes each handler call as a line.
class RecordingWindow : public CWindow {
 public:
  void Make(int width = 100, int height = 80, DWORD style = WS_POPUP | WS_VISIBLE, Owner* owner = nullptr) {
    Create("Recorder", "recorder", kClassName, style, WS_EX_ACCEPTFILES, 10, 20, width, height, nullptr, owner);
  }
  void Note(const char* format, long long a = 0, long long b = 0, long long c = 0) {
    char line[128];
    std::snprintf(line, sizeof line, format, a, b, c);
    calls.push_back(line);
  }
  void OnMove(int x, int y) override {
    Note("move %lld %lld", x, y);
    CWindow::OnMove(x, y);
  }
  void OnSize(int width, int height) override {
    Note("size %lld %lld", width, height);
    CWindow::OnSize(width, height);
  }
  void OnMinimize(bool argument) override {
    Note("minimize %lld", argument);
    CWindow::OnMinimize(argument);
  }
  void OnRestore() override {
    Note("restore");
    CWindow::OnRestore();
  }
  void OnActivate(bool active, HWND) override { Note("activate %lld", active); }
  bool OnClose() override {
    Note("close");
    return allowClose;
  }
  void OnMouseMove(int x, int y) override { Note("mousemove %lld %lld", x, y); }
  void OnMouseButtonDown(int button, int x, int y) override {
    Note("down %lld %lld %lld", button, x, y);
    if (throwOnButton)
      ThrowError<CError>(CStr("Test error"), CStr("The handler gave up."));
  }
  void OnMouseButtonUp(int button, int x, int y) override { Note("up %lld %lld %lld", button, x, y); }
  void OnMouseWheel(UINT delta) override { Note("wheel %lld", delta); }
  void OnKeyDown(UINT key, LPARAM data) override { Note("keydown %lld %lld", key, data); }
  void OnKeyUp(UINT key, LPARAM data) override { Note("keyup %lld %lld", key, data); }
  void OnSysKeyDown(UINT key, LPARAM) override { Note("syskeydown %lld", key); }
  void OnCommand(UINT code, UINT id, HWND) override { Note("command %lld %lld", code, id); }
  LRESULT OnNotify(WPARAM id, NMHDR*) override {
    Note("notify %lld", static_cast<long long>(id));
    return 77;
  }
  void OnCaptureChanged(HWND) override { Note("capturechanged"); }
  void OnTick() override { Note("tick"); }
  void OnFilesDropped(const char* const* urls, int count) override {
    for (int i = 0; i < count; ++i) dropped.emplace_back(urls[i]);
  }
  void OnDropFiles(HDROP drop) override {
    CWindow::OnDropFiles(drop);
    finishedDrop = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0) == 0;
  }
  void OnControlClicked(CDDControl*) override { Note("clicked"); }
  void OnControlPressed(CDDControl*) override { Note("pressed"); }
  void OnControlReleased(CDDControl*) override { Note("released"); }
  void OnControlEnter(CDDControl*) override { Note("enter"); }
  void OnControlLeave(CDDControl*) override { Note("leave"); }
  void OnControlNotify(CDDControl*) override { Note("notify7"); }
  void OnControlSecondNotify(CDDControl*) override { Note("notify8"); }

  std::vector<std::string> calls;
  std::vector<std::string> dropped;
  bool finishedDrop = false;
  bool throwOnButton = false;
  bool allowClose = true;
};

class Window : public DisplayTest {};

std::vector<std::string> Minimizations(const RecordingWindow& window) {
  std::vector<std::string> found;
  for (const std::string& call : window.calls)
    if (call.rfind("minimize", 0) == 0) found.push_back(call);
  return found;
}

}  // namespace

TEST_F(Window, CreateStoresTheObjectAndDestroyTellsTheOwnerEveryTime) {
  Owner owner;
  RecordingWindow window;
  window.Destroy();
  EXPECT_EQ(owner.codes, std::vector<int>{}) << "no owner before Create";
  window.Make(100, 80, WS_POPUP | WS_VISIBLE, &owner);
  HWND handle = window.GetWindowHandle();
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(GetWindowLongPtrA(handle, GWL_USERDATA), reinterpret_cast<LONG_PTR>(&window));
  EXPECT_TRUE(window.IsShown()) << "WS_VISIBLE";
  const RECT expected{10, 20, 110, 100};
  EXPECT_TRUE(EqualRect(&window.GetRect(), &expected));
  EXPECT_STREQ(window.GetName().c_str(), "Recorder");
  EXPECT_NE(window.GetClipper(), nullptr);
  HWND bound = nullptr;
  window.GetClipper()->GetHWnd(&bound);
  EXPECT_EQ(bound, handle) << "the clipper belongs to the window";

  window.Destroy();
  EXPECT_FALSE(IsWindow(handle));
  EXPECT_EQ(window.GetWindowHandle(), nullptr);
  EXPECT_EQ(window.GetClipper(), nullptr);
  window.Destroy();
  EXPECT_EQ(owner.codes, (std::vector<int>{2, 2}));
  EXPECT_STREQ(window.GetName().c_str(), "Recorder") << "the name stays";
}

TEST_F(Window, AWindowEndedByWindowsFollowsWithoutDestroyingItTwice) {
  Owner owner;
  RecordingWindow parent;
  parent.Make();
  RecordingWindow child;
  child.Create("Child", "", kClassName, WS_CHILD | WS_VISIBLE, 0, 0, 0, 10, 10, parent.GetWindowHandle(), &owner);
  HWND handle = child.GetWindowHandle();
  DestroyWindow(parent.GetWindowHandle());
  EXPECT_FALSE(IsWindow(handle));
  EXPECT_EQ(child.GetWindowHandle(), nullptr);
  EXPECT_EQ(owner.codes, std::vector<int>{2});
}

TEST_F(Window, ShowAndHideReachTheOwnerAndMinimizeRemembersItsArgument) {
  Owner owner;
  RecordingWindow window;
  window.Make(100, 80, WS_POPUP, &owner);
  EXPECT_FALSE(window.IsShown());
  window.Show(true);
  EXPECT_TRUE(IsWindowVisible(window.GetWindowHandle()));
  window.Show(false);
  EXPECT_FALSE(IsWindowVisible(window.GetWindowHandle()));
  EXPECT_FALSE(IsWindowEnabled(window.GetWindowHandle()));
  EXPECT_EQ(owner.codes, (std::vector<int>{1, 0}));

  window.Show(true);
  window.calls.clear();
  window.Minimize(true);
  EXPECT_TRUE(window.IsMinimized());
  EXPECT_TRUE(IsIconic(window.GetWindowHandle()));
  window.Minimize(false);
  EXPECT_EQ(Minimizations(window), std::vector<std::string>{"minimize 1"}) << "once, with its argument";
  window.Restore();
  EXPECT_FALSE(window.IsMinimized());
  EXPECT_FALSE(IsIconic(window.GetWindowHandle()));
  const RECT whole{0, 0, 100, 80};
  EXPECT_TRUE(EqualRect(&window.GetDirtyRect(), &whole)) << "a restored window is painted whole";
}

TEST_F(Window, MessagesReachTheirHandlers) {
  RecordingWindow window;
  window.Make();
  HWND handle = window.GetWindowHandle();
  const struct {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    const char* call;
    const char* why;
  } cases[] = {
      {WM_MOUSEMOVE, 0, MAKELPARAM(-3, 7), "mousemove -3 7", "coordinates are signed 16-bit values"},
      {WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 6), "down 0 5 6", "left button"},
      {WM_RBUTTONUP, 0, MAKELPARAM(1, 2), "up 1 1 2", "right button"},
      {WM_MBUTTONDOWN, 0, MAKELPARAM(0xFFFF, 0x8000), "down 2 -1 -32768", "middle button, negative values"},
      {WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0, "wheel 65416",
       "towards the user: the high word unsigned"},
      {WM_KEYDOWN, VK_SPACE, 0x00390001, "keydown 32 3735553", "key and its data"},
      {WM_KEYUP, VK_SPACE, 1, "keyup 32 1", "key up"},
      {WM_SYSKEYDOWN, VK_F4, 0, "syskeydown 115", "system key"},
      {WM_COMMAND, MAKEWPARAM(1001, 3), 0, "command 3 1001", "notify code is the high word"},
      {WM_ACTIVATE, WA_CLICKACTIVE, 0, "activate 1", "a click activates"},
      {WM_ACTIVATE, WA_INACTIVE, 0, "activate 0", "inactive"},
      {WM_CAPTURECHANGED, 0, 0, "capturechanged", "capture"},
      {WM_MOVE, 0, MAKELPARAM(-20, 30), "move -20 30", "a move to a negative place"},
      {WM_SIZE, SIZE_RESTORED, MAKELPARAM(120, 90), "size 120 90", "a new size"},
  };
  for (const auto& row : cases) {
    window.calls.clear();
    SendMessageA(handle, row.message, row.wParam, row.lParam);
    ASSERT_FALSE(window.calls.empty()) << row.why;
    EXPECT_EQ(window.calls.front(), row.call) << row.why;
  }
  EXPECT_EQ(window.GetRect().left, -20);
  EXPECT_EQ(window.GetWidth(), 120);
  EXPECT_EQ(SendMessageA(handle, WM_ERASEBKGND, 0, 0), 1);
  NMHDR header{};
  EXPECT_EQ(SendMessageA(handle, WM_NOTIFY, 5, reinterpret_cast<LPARAM>(&header)), 77);
  window.calls.clear();
  SendMessageA(handle, WM_LBUTTONDBLCLK, 0, 0);
  EXPECT_TRUE(window.calls.empty()) << "double clicks are not mapped";
}

TEST_F(Window, MinimisingSizeMessageMinimizesWithoutASize) {
  RecordingWindow window;
  window.Make();
  window.calls.clear();
  ShowWindow(window.GetWindowHandle(), SW_MINIMIZE);
  SendMessageA(window.GetWindowHandle(), WM_SIZE, SIZE_MINIMIZED, 0);
  EXPECT_EQ(Minimizations(window), std::vector<std::string>{"minimize 0"});
  for (const std::string& call : window.calls) EXPECT_NE(call.rfind("size", 0), 0u) << call;
  EXPECT_TRUE(window.IsMinimized());
  ShowWindow(window.GetWindowHandle(), SW_RESTORE);
  EXPECT_FALSE(window.IsMinimized()) << "the flag follows IsIconic back";
}

TEST_F(Window, AnErrorFromAHandlerIsLoggedAndTheWindowKeepsWorking) {
  RecordingWindow window;
  window.Make();
  window.throwOnButton = true;
  log.Clear();
  const LPARAM place = MAKELPARAM(10, 20);
  EXPECT_EQ(SendMessageA(window.GetWindowHandle(), WM_LBUTTONDOWN, MK_LBUTTON, place), 0);
  ASSERT_EQ(log.Entries().size(), 1u) << log.Text();
  const auto entry = log.Entries().front();
  EXPECT_EQ(entry.category, 0x100u);
  EXPECT_EQ(entry.text,
            "Exception in message handler (message 513, wParam=1, lParam=1310730):\n\nTest error\nThe handler gave up.\n");
  window.throwOnButton = false;
  window.calls.clear();
  SendMessageA(window.GetWindowHandle(), WM_LBUTTONUP, 0, place);
  EXPECT_EQ(window.calls, std::vector<std::string>{"up 0 10 20"});
  EXPECT_TRUE(IsWindow(window.GetWindowHandle()));
}

TEST_F(Window, CloseEndsAndDeletesAWindowOfTheHeap) {
  Owner owner;
  auto* window = new RecordingWindow;
  window->Make(100, 80, WS_POPUP | WS_VISIBLE, &owner);
  HWND handle = window->GetWindowHandle();
  PostMessageA(handle, CWindow::kWindowCloseMessage, 0, 0);
  TwlTestPumpMessages();
  EXPECT_FALSE(IsWindow(handle));
  ASSERT_FALSE(owner.codes.empty());
  EXPECT_EQ(owner.codes.back(), 2);

  RecordingWindow kept;
  kept.Make();
  kept.allowClose = false;
  SendMessageA(kept.GetWindowHandle(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(kept.GetWindowHandle())) << "OnClose said no";
}

TEST_F(Window, ABusyWindowGetsOneTickAndTheNextOnlyAfterHandlingIt) {
  TwlTestUseManualClock(TRUE);
  TwlTestSleepAdvancesClock(TRUE);
  RecordingWindow window;
  window.Make();
  constexpr DWORD kInterval = 100;
  const DWORD start = timeGetTime();
  window.StartTicks(kInterval);
  HANDLE thread = window.GetTickThread();
  window.StartTicks(kInterval / 2);
  EXPECT_EQ(window.GetTickThread(), thread) << "a new interval, not a second thread";
  // The window stays busy while the tick thread sleeps through more than
  // five intervals.
  while (timeGetTime() - start < 6 * kInterval) Sleep(0);
  auto takeTicks = [&] {
    std::vector<MSG> ticks;
    MSG message;
    while (PeekMessageA(&message, window.GetWindowHandle(), CWindow::kWindowTickMessage,
                        CWindow::kWindowTickMessage, PM_REMOVE))
      ticks.push_back(message);
    return ticks;
  };
  std::vector<MSG> ticks = takeTicks();
  ASSERT_EQ(ticks.size(), 1u);
  const DWORD handled = timeGetTime();
  while (timeGetTime() - handled < 3 * kInterval) Sleep(0);
  EXPECT_TRUE(takeTicks().empty()) << "none while the first waits to be handled";
  DispatchMessageA(&ticks.front());
  EXPECT_EQ(window.calls, std::vector<std::string>{"tick"});
  const DWORD after = timeGetTime();
  while (timeGetTime() - after < 3 * kInterval) Sleep(0);
  EXPECT_EQ(takeTicks().size(), 1u);
  window.StopTicks();
  EXPECT_EQ(window.GetTickThread(), nullptr);
  TwlTestSleepAdvancesClock(FALSE);
  TwlTestUseManualClock(FALSE);
}

TEST_F(Window, AThreadThatCannotStartStopsTheTicks) {
  RecordingWindow window;
  window.Make();
  TwlTestFailThreadStarts(1);
  CError* caught = nullptr;
  try {
    window.StartTicks(50);
  } catch (CError* error) {
    caught = error;
  }
  ASSERT_NE(caught, nullptr);
  EXPECT_STREQ(caught->GetCaption().c_str(), "Thread error");
  EXPECT_STREQ(caught->GetText().c_str(), "Unable to create thread.");
  DisposeError(caught);
  EXPECT_EQ(window.GetTickThread(), nullptr);
}

TEST_F(Window, DroppedNamesBecomeURLsAndFoldersEndInABackslash) {
  const std::string folder = twltest::MakeTempDir("songs");
  const std::string file = folder + "/a.mp3";
  twltest::WriteFile(file, "x");
  RecordingWindow window;
  window.Make();
  const std::string marked = folder + "\\";
  const char* paths[] = {folder.c_str(), file.c_str(), "http://host/x://y", marked.c_str(), "", "file://" "/nowhere"};
  ASSERT_TRUE(TwlTestDropFiles(20, 30, paths, 6));
  TwlTestPumpMessages();
  const std::vector<std::string> expected = {
      "file://" + folder + "\\",  // a folder reads as one
      "file://" + file,           // a file stays as it is
      "http://host/x://y",        // already a URL
      "file://" + marked,         // no second separator
      "file:///nowhere",          // a URL of no folder
  };
  EXPECT_EQ(window.dropped, expected) << "the empty name is skipped";
  EXPECT_TRUE(window.finishedDrop) << "DragFinish ends the drop";
}

TEST_F(Window, ControlEventsReachTheHandlerOfTheirType) {
  RecordingWindow window;
  window.Make();
  const char* expected[] = {"clicked", "pressed", "released", "enter", "leave", "notify7", "notify8"};
  for (int type = 2; type <= 8; ++type) {
    window.calls.clear();
    EXPECT_EQ(window.OnControlEvent(type, nullptr, nullptr), 1);
    ASSERT_EQ(window.calls.size(), 1u) << type;
    EXPECT_EQ(window.calls.front(), expected[type - 2]);
  }
  window.calls.clear();
  EXPECT_EQ(window.OnControlEvent(9, nullptr, nullptr), 1);
  EXPECT_EQ(window.OnControlEvent(0, nullptr, nullptr), 1);
  EXPECT_TRUE(window.calls.empty()) << "other types are ignored";
  const RECT part{1, 2, 3, 4};
  window.OnControlEvent(1, nullptr, const_cast<RECT*>(&part));
  EXPECT_TRUE(window.calls.empty());
}
