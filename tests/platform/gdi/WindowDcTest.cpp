#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "support/TestPaths.h"
#include "twlwin/testing_gdi.h"

namespace {

const COLORREF kPaintRed = RGB(255, 0, 0);

LRESULT CALLBACK PaintRed(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    HBRUSH red = CreateSolidBrush(kPaintRed);
    RECT r{0, 0, 5, 5};
    FillRect(dc, &r, red);
    DeleteObject(red);
    EndPaint(window, &ps);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

class WindowDc : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSA cls{};
    cls.lpfnWndProc = PaintRed;
    cls.lpszClassName = "PaintRedClass";
    cls.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_BTNFACE + 1));
    ASSERT_NE(RegisterClassA(&cls), 0);
    WNDCLASSA plain{};
    plain.lpfnWndProc = DefWindowProcA;
    plain.lpszClassName = "PlainChildClass";
    plain.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_WINDOW + 1));
    ASSERT_NE(RegisterClassA(&plain), 0);
    top = CreateWindowExA(0, "PaintRedClass", "top", WS_POPUP | WS_VISIBLE, 10, 10, 60, 40, nullptr, nullptr,
                          nullptr, nullptr);
    ASSERT_NE(top, nullptr);
  }
  void TearDown() override { DestroyWindow(top); }
  HWND top = nullptr;
};

TEST_F(WindowDc, PaintCycleErasesWithTheClassBrushThenPaints) {
  UpdateWindow(top);
  EXPECT_EQ(TwlTestGetWindowPixel(top, 2, 2), kPaintRed);
  EXPECT_EQ(TwlTestGetWindowPixel(top, 30, 30), GetSysColor(COLOR_BTNFACE));
}

TEST_F(WindowDc, ChildrenAreLaidOverTheirParentWhateverThePaintOrder) {
  HWND child = CreateWindowExA(0, "PlainChildClass", "", WS_CHILD | WS_VISIBLE, 20, 10, 10, 10, top, nullptr,
                               nullptr, nullptr);
  ASSERT_NE(child, nullptr);
  UpdateWindow(child);
  UpdateWindow(top);  // the parent paints last
  EXPECT_EQ(TwlTestGetWindowPixel(top, 25, 15), GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(TwlTestGetWindowPixel(top, 35, 15), GetSysColor(COLOR_BTNFACE));
  // Drawing through GetDC lands in the child's client area.
  HDC dc = GetDC(child);
  ASSERT_NE(dc, nullptr);
  SetPixel(dc, 0, 0, RGB(0, 0, 255));
  EXPECT_EQ(ReleaseDC(child, dc), 1);
  EXPECT_EQ(TwlTestGetWindowPixel(top, 20, 10), RGB(0, 0, 255));
  ShowWindow(child, SW_HIDE);
  EXPECT_EQ(TwlTestGetWindowPixel(top, 20, 10), GetSysColor(COLOR_BTNFACE));
}

TEST_F(WindowDc, WindowDcsAreReleasedNotDeleted) {
  HDC dc = GetDC(top);
  EXPECT_FALSE(DeleteDC(dc));
  EXPECT_EQ(ReleaseDC(top, dc), 1);
  EXPECT_EQ(ReleaseDC(top, dc), 0);
  HWND gone = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x7FFF0));
  EXPECT_EQ(GetDC(gone), nullptr);
  HDC screen = GetDC(nullptr);  // for measuring text
  SIZE size{};
  SelectObject(screen, GetStockObject(DEFAULT_GUI_FONT));
  EXPECT_TRUE(GetTextExtentPoint32A(screen, "abc", 3, &size));
  EXPECT_GT(size.cx, 0);
  ReleaseDC(nullptr, screen);
}

TEST_F(WindowDc, ScreenDumpShowsTheWindowWhereItIs) {
  UpdateWindow(top);
  std::string path = twltest::MakeTempDir("screen") + "/screen.png";
  ASSERT_TRUE(TwlTestSaveScreenPng(path.c_str()));
  EXPECT_GT(twltest::ReadFile(path).size(), 100u);
  std::string windowPath = twltest::MakeTempDir("window") + "/window.png";
  EXPECT_TRUE(TwlTestSaveWindowPng(top, windowPath.c_str()));
}

}  // namespace
