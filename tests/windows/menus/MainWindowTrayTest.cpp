// The tray icon of the main window: its pictures, the hover, press and
// double-click handling, and the end of hovering on the manual clock.
#include <gtest/gtest.h>
#include <twlwin/testing_gdi.h>
#include <twlwin/testing_user.h>

#include <string>
#include <vector>

#include "windows/main/MainWindowIds.h"
#include "windows/main/MainWindowTray.h"

using namespace mainwindow;

namespace {

// A window whose tray messages go to the tray under test, as the main
// window's do.
class TrayTest : public testing::Test, public CMainWindowTrayOwner {
 protected:
  void SetUp() override {
    TwlTestUseManualClock(TRUE);
    TwlTestMouseMove(500, 500);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &Proc;
    windowClass.lpszClassName = "TrayTestWindow";
    RegisterClassA(&windowClass);
    m_Window = CreateWindowExA(0, "TrayTestWindow", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(m_Window, nullptr);
    s_Current = this;
  }
  void TearDown() override {
    s_Current = nullptr;
    DestroyWindow(m_Window);
  }

  void ShowTrayMenu(int x, int y) override {
    // What a user would see while the menu is open.
    m_Calls += "menu at " + std::to_string(x) + "," + std::to_string(y) + " showing " + Shown() + "; ";
  }
  void RestoreAll() override { m_Calls += "restore; "; }

  // The tray icon's picture by resource number, "none" without an icon.
  std::string Shown() {
    TWLTEST_NOTIFYICON icon{};
    if (!TwlTestGetNotifyIcon(0, &icon)) return "none";
    for (WORD resource : {kTrayIconNormal, kTrayIconHover, kTrayIconMenu})
      if (icon.hIcon == LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCE(resource)))
        return std::to_string(resource);
    return "other";
  }
  // Mouse messages as the tray sends them, through the window's queue.
  void Send(std::initializer_list<UINT> messages) {
    for (UINT message : messages) ASSERT_TRUE(TwlTestPostNotifyIconMessage(0, message));
    TwlTestPumpMessages();
  }

  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kTrayMessage && s_Current) {
      s_Current->m_Tray.OnNotify(static_cast<UINT>(lParam), window, *s_Current);
      return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
  }

  static inline TrayTest* s_Current = nullptr;
  HWND m_Window = nullptr;
  CMainWindowTray m_Tray{GetModuleHandleA(nullptr)};
  std::string m_Calls;
};

}  // namespace

TEST_F(TrayTest, AddsTheIconWithItsMessageAndTipAndTakesItAwayAgain) {
  ASSERT_TRUE(m_Tray.Add(m_Window));
  TWLTEST_NOTIFYICON icon{};
  ASSERT_EQ(TwlTestGetNotifyIconCount(), 1u);
  ASSERT_TRUE(TwlTestGetNotifyIcon(0, &icon));
  EXPECT_EQ(icon.hWnd, m_Window);
  EXPECT_EQ(icon.uID, 0u);
  EXPECT_EQ(icon.uCallbackMessage, 1124u);
  EXPECT_STREQ(icon.szTip, "Velbrook Tunewell");
  EXPECT_EQ(Shown(), "135");
  // Adding again replaces the icon rather than failing.
  ASSERT_TRUE(m_Tray.Add(m_Window));
  EXPECT_EQ(TwlTestGetNotifyIconCount(), 1u);
  m_Tray.Remove();
  EXPECT_FALSE(m_Tray.IsShown());
  EXPECT_EQ(TwlTestGetNotifyIconCount(), 0u);
  m_Tray.Remove();
}

TEST_F(TrayTest, HoverPressAndReleaseChangeThePictureAndOpenTheMenuOnce) {
  ASSERT_TRUE(m_Tray.Add(m_Window));
  Send({WM_MOUSEMOVE});
  EXPECT_EQ(Shown(), "136");
  Send({WM_RBUTTONDOWN});
  EXPECT_EQ(m_Calls, "menu at 500,500 showing 137; ");
  EXPECT_EQ(GetActiveWindow(), m_Window);
  // A second button while the menu is open opens no second menu.
  Send({WM_LBUTTONDOWN, WM_RBUTTONUP});
  EXPECT_EQ(Shown(), "137");
  Send({WM_LBUTTONUP});
  EXPECT_EQ(Shown(), "136");
  EXPECT_EQ(m_Calls, "menu at 500,500 showing 137; ");
}

TEST_F(TrayTest, HoveringEndsOnlyWhenTheCursorLeftAndTwoHundredMillisecondsPassed) {
  ASSERT_TRUE(m_Tray.Add(m_Window));
  Send({WM_MOUSEMOVE});
  m_Tray.EndHoverIfAway();
  EXPECT_EQ(Shown(), "136") << "the cursor is still there";
  TwlTestMouseMove(10, 10);
  TwlTestAdvanceClock(199);
  m_Tray.EndHoverIfAway();
  EXPECT_EQ(Shown(), "136") << "199 ms after the last move";
  TwlTestAdvanceClock(1);
  m_Tray.EndHoverIfAway();
  EXPECT_EQ(Shown(), "135");
  // A press after that starts from clear flags.
  Send({WM_LBUTTONDOWN, WM_LBUTTONUP});
  EXPECT_EQ(Shown(), "135");
}

TEST_F(TrayTest, ADoubleClickBringsThePlayerBack) {
  ASSERT_TRUE(m_Tray.Add(m_Window));
  Send({WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP});
  EXPECT_EQ(m_Calls, "menu at 500,500 showing 137; restore; ");
  // A single click restores nothing.
  m_Calls.clear();
  Send({WM_RBUTTONDOWN, WM_RBUTTONUP});
  EXPECT_EQ(m_Calls, "menu at 500,500 showing 137; ");
}

TEST_F(TrayTest, MessagesWithoutAnIconAreRefused) {
  EXPECT_FALSE(TwlTestPostNotifyIconMessage(0, WM_MOUSEMOVE));
  m_Tray.OnNotify(WM_MOUSEMOVE, m_Window, *this);
  EXPECT_EQ(Shown(), "none");
}

TEST(TrayPictures, TheThreePicturesDiffer) {
  HDC dc = CreateCompatibleDC(nullptr);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = 32;
  info.bmiHeader.biHeight = -32;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(bitmap, nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  std::vector<std::vector<uint32_t>> pictures;
  for (WORD resource : {kTrayIconNormal, kTrayIconHover, kTrayIconMenu}) {
    HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCE(resource));
    ASSERT_NE(icon, nullptr) << resource;
    std::fill_n(static_cast<uint32_t*>(bits), 32 * 32, 0xFFFFFFu);
    ASSERT_TRUE(DrawIcon(dc, 0, 0, icon));
    const auto* pixels = static_cast<const uint32_t*>(bits);
    pictures.emplace_back(pixels, pixels + 32 * 32);
  }
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  EXPECT_NE(pictures[0], pictures[1]);
  EXPECT_NE(pictures[1], pictures[2]);
  EXPECT_NE(pictures[0], pictures[2]);
}
