// A log window under test: created on a thread of its own by CLogWindow,
// looked at from the test thread through its controls (cross-thread sends
// answered while the window thread waits for messages). Time follows the
// manual clock; every wait has a generous bound.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <twlwin/testing_user.h>

#include <string>
#include <vector>

#include "foundation/appcore/MainWindow.h"
#include "foundation/log/LogWindow.h"

namespace logwindowtest {

constexpr DWORD kWaitMilliseconds = 20000;

// The buttons' control ids.
constexpr int kHideButton = 500;
constexpr int kQuitButton = 501;
constexpr int kModeButton = 502;

inline DWORD ThreadOf(HWND window) { return GetWindowThreadProcessId(window, nullptr); }

// The child window with that title ("LogList", "LastErrorList").
inline HWND FindChild(HWND parent, const char* title) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    char text[64] = {};
    GetWindowTextA(child, text, sizeof text);
    if (std::string(text) == title) return child;
  }
  return nullptr;
}

inline std::string TextOf(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

struct ListItem {
  std::string text;
  LPARAM value;
  bool operator==(const ListItem&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const ListItem& item) {
  return out << "{\"" << item.text << "\", " << item.value << "}";
}

inline std::vector<ListItem> ItemsOf(HWND list) {
  std::vector<ListItem> items;
  const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    char text[512] = {};
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = i;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    items.push_back({text, item.lParam});
  }
  return items;
}

inline std::vector<std::string> TextsOf(HWND list) {
  std::vector<std::string> texts;
  for (const ListItem& item : ItemsOf(list)) texts.push_back(item.text);
  return texts;
}

// True when the main thread's queue holds a WM_QUIT (taken out with the
// rest of the queue).
inline bool TakeQuitFromQueue() {
  bool quit = false;
  MSG message{};
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) quit = true;
  }
  return quit;
}

class LogWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { TwlTestUseManualClock(TRUE); }

  void TearDown() override {
    Close();
    SetMainWindowHandle(nullptr);
    if (mainWindow) DestroyWindow(mainWindow);
  }

  // Creating and destroying the window wait for its thread with short
  // sleeps, which the frozen clock would never end: they run on real time,
  // and the clock stands still again for what the tests write.
  void Open() {
    TwlTestUseManualClock(FALSE);
    log.Create(nullptr);
    TwlTestUseManualClock(TRUE);
    window = log.GetWindowHandle();
    ASSERT_NE(window, nullptr);
  }
  void Close() {
    TwlTestUseManualClock(FALSE);
    log.Destroy();
    TwlTestUseManualClock(TRUE);
  }

  // Waits until the window thread has handled everything posted so far.
  void Settle() { ASSERT_TRUE(TwlTestWaitForIdle(ThreadOf(window), kWaitMilliseconds)) << "window thread busy"; }

  HWND FullLog() { return FindChild(window, "LogList"); }
  HWND LastErrors() { return FindChild(window, "LastErrorList"); }

  void Click(int buttonId) {
    SendMessageA(GetDlgItem(window, buttonId), BM_CLICK, 0, 0);
    Settle();
  }

  // A main window on the test thread, as the program's user interface has.
  void MakeMainWindow() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "LogWindowTestMain";
    RegisterClassA(&windowClass);
    mainWindow = CreateWindowExA(0, "LogWindowTestMain", "main", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                 nullptr, nullptr);
    ASSERT_NE(mainWindow, nullptr);
    SetMainWindowHandle(mainWindow);
    TakeQuitFromQueue();
  }

  CLogWindow log;
  HWND window = nullptr;
  HWND mainWindow = nullptr;
};

}  // namespace logwindowtest
