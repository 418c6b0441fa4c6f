// The cursor on show: SetCursor and ShowCursor's counter, and WM_SETCURSOR
// for mouse input, whose default handling asks the parent first and then
// sets the class cursor over the client area.
#include <gtest/gtest.h>

#include <twlwin/testing_desktop.h>

#include "platform/user/windows/Recorder.h"

using namespace usertest;

TEST(Cursor, SetAndShownAsTheTestsSeeIt) {
  HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
  HCURSOR sizing = LoadCursorA(nullptr, IDC_SIZEWE);
  ASSERT_NE(arrow, nullptr);
  ASSERT_NE(sizing, nullptr);
  EXPECT_EQ(GetCursor(), arrow) << "the arrow before anything is set";
  EXPECT_EQ(SetCursor(sizing), arrow);
  EXPECT_EQ(GetCursor(), sizing);
  EXPECT_EQ(TwlTestGetCursor(), sizing);
  EXPECT_EQ(SetCursor(nullptr), sizing);
  EXPECT_EQ(TwlTestGetCursor(), nullptr);

  EXPECT_EQ(ShowCursor(FALSE), -1);
  EXPECT_EQ(ShowCursor(FALSE), -2);
  EXPECT_EQ(ShowCursor(TRUE), -1);
  EXPECT_EQ(TwlTestGetCursorShowCount(), -1);
  EXPECT_EQ(ShowCursor(TRUE), 0);
}

namespace {

ATOM RegisterWithCursor(const char* name, HCURSOR cursor) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = Recorder::Proc;
  wc.hCursor = cursor;
  wc.lpszClassName = name;
  return RegisterClassA(&wc);
}

}  // namespace

TEST(Cursor, MouseInputAsksTheWindowUnderItAndItsParent) {
  HCURSOR parentCursor = LoadCursorA(nullptr, IDC_SIZENS);
  HCURSOR childCursor = LoadCursorA(nullptr, IDC_SIZEWE);
  RegisterWithCursor("CursorParent", parentCursor);
  RegisterWithCursor("CursorChild", childCursor);
  HWND parent = MakeWindow("CursorParent", WS_POPUP | WS_VISIBLE, {0, 0, 200, 200});
  HWND child = MakeWindow("CursorChild", WS_CHILD | WS_VISIBLE, {50, 50, 100, 100}, parent, 3);
  const struct {
    const char* behaviour;
    bool parentTakesIt;
    POINT at;
    HCURSOR shown;
  } cases[] = {
      {"over the child, its class cursor", false, {60, 60}, childCursor},
      {"over the parent only, the parent's", false, {10, 10}, parentCursor},
      {"a parent answering TRUE keeps the child's from being set", true, {60, 60}, nullptr},
  };
  for (const auto& c : cases) {
    Recorder::Get().On(WM_SETCURSOR, [&](HWND window, WPARAM wParam, LPARAM lParam) -> LRESULT {
      if (window == parent && c.parentTakesIt) return TRUE;
      return DefWindowProcA(window, WM_SETCURSOR, wParam, lParam);
    });
    SetCursor(nullptr);
    Pump();
    Recorder::Get().Clear();
    TwlTestMouseMove(c.at.x, c.at.y);
    Pump();
    EXPECT_EQ(GetCursor(), c.shown) << c.behaviour;
    auto asked = Recorder::Get().Of(WM_SETCURSOR);
    ASSERT_FALSE(asked.empty()) << c.behaviour;
    HWND under = c.at.x >= 50 ? child : parent;
    EXPECT_EQ(asked[0].window, under) << c.behaviour;
    EXPECT_EQ(asked[0].wParam, reinterpret_cast<WPARAM>(under)) << c.behaviour;
    EXPECT_EQ(LOWORD(asked[0].lParam), HTCLIENT) << c.behaviour;
    EXPECT_EQ(HIWORD(asked[0].lParam), WM_MOUSEMOVE) << c.behaviour;
  }

  SetCapture(parent);
  Recorder::Get().Clear();
  TwlTestMouseMove(60, 60);
  Pump();
  EXPECT_TRUE(Recorder::Get().Of(WM_SETCURSOR).empty()) << "not while the mouse is captured";
  ReleaseCapture();
}
