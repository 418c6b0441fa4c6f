// The parts of the presenter seam that are not one window's place or
// pixels: cursor and tray changes, activation and frame moves from the
// desktop (run on the window's own thread), the menu presenter, and the
// presenter library staying unloaded without a desktop.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <mutex>
#include <sstream>
#include <thread>
#include <vector>

#include "support/SolidIcons.h"
#include "twlwin/presenter.h"
#include "twlwin/testing_user.h"

namespace {

struct SeamHeard {
  UINT kind;
  HWND window;
};

std::mutex seamHeardLock;
std::vector<SeamHeard> seamHeard;

void CALLBACK SeamListen(const TWLSCREENEVENT* event, void*) {
  std::lock_guard guard(seamHeardLock);
  if (event->kind >= TWL_SCREEN_CURSOR) seamHeard.push_back(SeamHeard{event->kind, event->window});
}

std::vector<SeamHeard> TakeSeamHeard() {
  std::lock_guard guard(seamHeardLock);
  return std::move(seamHeard);
}

HWND MakeWindow(RECT r, DWORD style = WS_POPUP | WS_VISIBLE) {
  static bool registered = [] {
    WNDCLASSA cls{};
    cls.lpfnWndProc = DefWindowProcA;
    cls.lpszClassName = "DesktopSeamWindow";
    return RegisterClassA(&cls) != 0;
  }();
  EXPECT_TRUE(registered);
  return CreateWindowExA(0, "DesktopSeamWindow", "", style, r.left, r.top, r.right - r.left, r.bottom - r.top,
                         nullptr, nullptr, nullptr, nullptr);
}

void RunOtherThread(std::function<void()> work) { std::thread(std::move(work)).join(); }

TEST(DesktopSeam, CursorAndTrayChangesAreToldOnlyWhenSomethingChanged) {
  DWORD cookie = TwlAddScreenListener(SeamListen, nullptr);
  HWND window = MakeWindow({0, 0, 10, 10});
  HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
  HCURSOR sizing = LoadCursorA(nullptr, IDC_SIZEWE);
  SetCursor(arrow);
  TakeSeamHeard();

  SetCursor(sizing);
  SetCursor(sizing);  // the same cursor again: nothing to show
  EXPECT_TRUE(TwlIsCursorShown());
  ShowCursor(FALSE);
  EXPECT_FALSE(TwlIsCursorShown());
  ShowCursor(FALSE);  // deeper below zero: still hidden, nothing new
  ShowCursor(TRUE);
  ShowCursor(TRUE);
  EXPECT_TRUE(TwlIsCursorShown());

  NOTIFYICONDATAA data{};
  data.cbSize = sizeof data;
  data.hWnd = window;
  data.uID = 3;
  data.uFlags = NIF_TIP | NIF_ICON;
  data.hIcon = twltest::SolidIcon(RGB(1, 2, 3));
  std::strcpy(data.szTip, "Tip");
  ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &data));
  EXPECT_FALSE(Shell_NotifyIconA(NIM_ADD, &data)) << "a second add of the same icon fails";
  data.uID = 4;
  EXPECT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &data)) << "no such icon";

  std::vector<SeamHeard> events = TakeSeamHeard();
  std::vector<UINT> kinds;
  for (const SeamHeard& e : events) kinds.push_back(e.kind);
  EXPECT_EQ(kinds, (std::vector<UINT>{TWL_SCREEN_CURSOR, TWL_SCREEN_CURSOR, TWL_SCREEN_CURSOR, TWL_SCREEN_TRAY}));
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events[0].window, nullptr);
  EXPECT_EQ(events[3].window, window);

  ASSERT_EQ(TwlGetNotifyIconCount(), 1u);
  TWLNOTIFYICON icon{};
  ASSERT_TRUE(TwlGetNotifyIcon(0, &icon));
  EXPECT_EQ(icon.hWnd, window);
  EXPECT_EQ(icon.uID, 3u);
  EXPECT_EQ(icon.hIcon, data.hIcon);
  EXPECT_STREQ(icon.szTip, "Tip");
  EXPECT_FALSE(TwlGetNotifyIcon(1, &icon));
  EXPECT_FALSE(TwlGetNotifyIcon(0, nullptr));
  TwlRemoveScreenListener(cookie);
}

TEST(DesktopSeam, CaptureChangesNameTheCapturingTopLevelWindow) {
  HWND top = MakeWindow({0, 0, 50, 50});
  HWND child = CreateWindowExA(0, "DesktopSeamWindow", "", WS_CHILD | WS_VISIBLE, 0, 0, 5, 5, top, nullptr, nullptr,
                               nullptr);
  DWORD cookie = TwlAddScreenListener(SeamListen, nullptr);
  TakeSeamHeard();
  SetCapture(child);
  SetCapture(child);  // no change
  ReleaseCapture();
  ReleaseCapture();   // nothing held: no change
  SetCapture(top);
  std::vector<SeamHeard> events = TakeSeamHeard();
  ASSERT_EQ(events.size(), 3u);
  for (const SeamHeard& e : events) EXPECT_EQ(e.kind, static_cast<UINT>(TWL_SCREEN_CAPTURE));
  EXPECT_EQ(events[0].window, top) << "a child's capture names its top-level window";
  EXPECT_EQ(events[1].window, nullptr);
  EXPECT_EQ(events[2].window, top);
  ReleaseCapture();
  TwlRemoveScreenListener(cookie);
}

// The desktop's thread never runs a window procedure: activation and frame
// moves wait in the window's queue until its thread takes its messages.
TEST(DesktopSeam, ActivationAndFrameMovesFromTheDesktopRunOnTheWindowsThread) {
  HWND first = MakeWindow({0, 0, 50, 50});
  HWND second = MakeWindow({100, 0, 150, 50});
  SetActiveWindow(first);
  ASSERT_EQ(GetForegroundWindow(), first);

  BOOL activated = FALSE, placed = FALSE;
  RECT frame{200, 210, 260, 290};
  RunOtherThread([&] {
    activated = TwlInputActivate(second);
    placed = TwlInputPlaceWindow(second, &frame);
  });
  ASSERT_TRUE(activated);
  ASSERT_TRUE(placed);
  RECT now{};
  GetWindowRect(second, &now);
  EXPECT_EQ(now.left, 100) << "moved before its thread took its messages";
  TwlTestPumpMessages();
  EXPECT_EQ(GetActiveWindow(), second);
  EXPECT_EQ(GetForegroundWindow(), second);
  GetWindowRect(second, &now);
  EXPECT_TRUE(EqualRect(&now, &frame));
}

TEST(DesktopSeam, DesktopInputForWindowsThatCannotTakeItIsRefused) {
  HWND top = MakeWindow({0, 0, 50, 50});
  HWND child = CreateWindowExA(0, "DesktopSeamWindow", "", WS_CHILD | WS_VISIBLE, 0, 0, 5, 5, top, nullptr, nullptr,
                               nullptr);
  HWND disabled = MakeWindow({60, 0, 80, 20}, WS_POPUP | WS_VISIBLE | WS_DISABLED);
  RECT r{0, 0, 10, 10};
  RECT inverted{10, 10, 0, 0};
  struct Row {
    const char* why;
    BOOL result;
  } rows[] = {
      {"an unknown window is not activated", TwlInputActivate(reinterpret_cast<HWND>(0x7ffffff0))},
      {"a disabled window is not activated", TwlInputActivate(disabled)},
      {"a child has no frame of its own", TwlInputPlaceWindow(child, &r)},
      {"no rectangle", TwlInputPlaceWindow(top, nullptr)},
      {"an inverted rectangle", TwlInputPlaceWindow(top, &inverted)},
      {"an unknown window is not placed", TwlInputPlaceWindow(reinterpret_cast<HWND>(0x7ffffff0), &r)},
  };
  for (const Row& row : rows) EXPECT_FALSE(row.result) << row.why;
}

TEST(DesktopSeam, AMenuPresenterAnswersTrackedMenusUntilItIsTakenAway) {
  HWND owner = MakeWindow({0, 0, 50, 50});
  HMENU menu = CreatePopupMenu();
  MENUITEMINFOA item{};
  item.cbSize = sizeof item;
  item.fMask = MIIM_ID | MIIM_STRING;
  item.wID = 42;
  item.dwTypeData = const_cast<char*>("Item");
  InsertMenuItemA(menu, 0, TRUE, &item);
  struct Asked {
    HMENU menu = nullptr;
    POINT at{};
    HWND owner = nullptr;
    int answer = 0;
  } asked;
  TwlSetMenuPresenter(
      [](HMENU m, UINT, int x, int y, HWND o, void* context) {
        auto* a = static_cast<Asked*>(context);
        a->menu = m;
        a->at = POINT{x, y};
        a->owner = o;
        return a->answer;
      },
      &asked);
  struct Row {
    int answer;
    BOOL returned;
  } rows[] = {{42, 42}, {0, 0}, {-1, 0}};
  for (const Row& row : rows) {
    asked.answer = row.answer;
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 7, 8, 0, owner, nullptr), row.returned) << row.answer;
  }
  EXPECT_EQ(asked.menu, menu);
  EXPECT_EQ(asked.at.x, 7);
  EXPECT_EQ(asked.at.y, 8);
  EXPECT_EQ(asked.owner, owner);

  TwlSetMenuPresenter(nullptr, nullptr);
  asked.menu = nullptr;
  TrackPopupMenu(menu, TPM_RETURNCMD, 7, 8, 0, owner, nullptr);
  EXPECT_EQ(asked.menu, nullptr) << "the scripted answers are back";
  DestroyMenu(menu);
}

bool QtLoaded() {
  std::ifstream maps("/proc/self/maps");
  std::stringstream text;
  text << maps.rdbuf();
  return text.str().find("libQt6") != std::string::npos || text.str().find("libtwlqt") != std::string::npos;
}

TEST(DesktopSeam, WithoutADesktopThePresenterIsNeverLoaded) {
  setenv("DISPLAY", ":99", 1);  // a display named, but TWL_HEADLESS set
  EXPECT_FALSE(TwlStartPresenter());
  TwlStopPresenter();
  EXPECT_FALSE(QtLoaded());
}

}  // namespace
