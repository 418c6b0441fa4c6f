// Moving windows by dragging them, snapping to visible edges and the work
// area, and keeping a window's place in the settings key.
#include "DisplayFixture.h"

#include "foundation/appcore/WindowRect.h"

using namespace displaytest;

namespace {

HWND MakeWindow(const RECT& place) {
  return CreateWindowExA(0, kClassName, "other", WS_POPUP | WS_VISIBLE, place.left, place.top,
                         place.right - place.left, place.bottom - place.top, nullptr, nullptr, nullptr, nullptr);
}

// A window that can be dragged by any point.
class MovableWindow : public CWindow {
 public:
  bool IsMoveArea(int, int) override { return true; }
};

class WindowMove : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    const RECT work{0, 0, 1024, 740};
    TwlTestSetWorkArea(&work);
  }
  // The moved window itself, out of the way.
  HWND Moved() {
    if (!moved_) moved_ = MakeWindow({700, 500, 800, 600});
    return moved_;
  }
  POINT Snap(int x, int y) {
    SnapToEdgesOf(x, y);
    return POINT{x, y};
  }
  void SnapToEdgesOf(int& x, int& y) { CWindow::SnapToEdges(x, y, Moved(), nullptr, 0, 20); }

  HWND moved_ = nullptr;
};

}  // namespace

TEST_F(WindowMove, WorkAreaEdgesAttractWithinTwentyPixels) {
  struct Case {
    int y, expected;
  } cases[] = {{15, 0}, {20, 0}, {21, 21}, {650, 640}, {619, 619}};
  for (const Case& c : cases) {
    const POINT snapped = Snap(500, c.y);
    EXPECT_EQ(snapped.y, c.expected) << c.y;
    EXPECT_EQ(snapped.x, 500) << "no vertical edge near";
  }
}

TEST_F(WindowMove, OnlyVisibleEdgesOfOtherWindowsAttract) {
  Moved();
  HWND left = MakeWindow({100, 100, 300, 300});
  EXPECT_EQ(Snap(310, 150).x, 300) << "flush against the right edge of the window to the left";
  EXPECT_EQ(Snap(310, 350).x, 310) << "the edge does not reach beside the moved window";
  HWND cover = MakeWindow({250, 50, 350, 400});
  BringWindowToTop(cover);
  EXPECT_EQ(Snap(310, 150).x, 310) << "the edge lies behind a third window";
  ShowWindow(cover, SW_HIDE);
  EXPECT_EQ(Snap(310, 150).x, 300) << "hidden windows neither attract nor cover";
  DestroyWindow(cover);
  DestroyWindow(left);
}

TEST_F(WindowMove, EqualDistancesGoToTheLeftTarget) {
  Moved();
  HWND left = MakeWindow({100, 100, 300, 300});
  HWND right = MakeWindow({420, 100, 600, 300});
  EXPECT_EQ(Snap(310, 150).x, 300) << "10 to the left target, 10 to the right one";
  SetWindowPos(right, nullptr, 415, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_EQ(Snap(310, 150).x, 315) << "5 to the right target is nearer";
  DestroyWindow(right);
  DestroyWindow(left);
}

TEST_F(WindowMove, DraggingMovesTheWindowOnReleaseAndNotWhenTheCaptureGoes) {
  HWND other = MakeWindow({900, 650, 950, 700});
  for (bool loseCapture : {false, true}) {
    MovableWindow window;
    window.Create("Movable", "Movable", kClassName, WS_POPUP | WS_VISIBLE, 0, 200, 200, 100, 100, nullptr, nullptr);
    ASSERT_TRUE(TwlTestMouseButton(VK_LBUTTON, TRUE, 250, 250));
    TwlTestPumpMessages();
    ASSERT_TRUE(window.IsMoving());
    TwlTestMouseMove(280, 260);
    TwlTestPumpMessages();
    EXPECT_EQ(window.GetRect().left, 200) << "only the outline follows";
    if (loseCapture)
      SetCapture(other);
    else
      TwlTestMouseButton(VK_LBUTTON, FALSE, 280, 260);
    TwlTestPumpMessages();
    EXPECT_FALSE(window.IsMoving());
    RECT place{};
    GetWindowRect(window.GetWindowHandle(), &place);
    EXPECT_EQ(place.left, loseCapture ? 200 : 230);
    EXPECT_EQ(place.top, loseCapture ? 200 : 210);
    ReleaseCapture();
  }
  DestroyWindow(other);
}

TEST_F(WindowMove, SnappingDragStopsAtTheWorkAreaAndEndsWithDestroy) {
  MovableWindow window;
  window.Create("Movable", "Movable", kClassName, WS_POPUP | WS_VISIBLE, 0, 200, 200, 100, 100, nullptr, nullptr);
  window.SetSnapToEdges(true);
  TwlTestMouseButton(VK_LBUTTON, TRUE, 250, 250);
  TwlTestPumpMessages();
  TwlTestMouseMove(250, 65);  // the top would be at 15
  TwlTestPumpMessages();
  TwlTestMouseButton(VK_LBUTTON, FALSE, 250, 65);
  TwlTestPumpMessages();
  EXPECT_EQ(window.GetRect().top, 0);
  window.Destroy();
  EXPECT_FALSE(window.GetSnapToEdges()) << "switched on again after every Destroy";
}

TEST_F(WindowMove, StoredPlacesComeBackOnTheScreen) {
  CWindow window;
  window.Create("Stored", "Stored", kClassName, WS_POPUP, 0, 10, 20, 200, 150, nullptr, nullptr);
  ASSERT_TRUE(window.StoreWindowRect(nullptr, nullptr));
  RECT place{};
  window.LoadWindowRect(&place, "Stored", 50, 50, nullptr, 0, 0);
  EXPECT_TRUE(place.left == 10 && place.top == 20 && place.right == 210 && place.bottom == 170);

  const RECT far{1020, 50, 1220, 250};
  ASSERT_TRUE(CWindow::SaveWindowRect("Far_WindowRect", far));
  window.LoadWindowRect(&place, "Far", 50, 50, nullptr, 0, 0);
  EXPECT_EQ(place.left, 0) << "beyond the screen width - 10";
  EXPECT_EQ(place.right, 200) << "the width stays";
  EXPECT_EQ(place.top, 50);

  window.LoadWindowRect(&place, "Missing", 100, 60, nullptr, 5, 7);
  EXPECT_EQ(place.left, (1024 - 100) / 2 + 5) << "centred on the screen, then shifted";
  EXPECT_EQ(place.top, (768 - 60) / 2 + 7);
}

TEST_F(WindowMove, LongWindowTextsAreReadWhole) {
  const std::string text(300, 'x');
  HWND window = CreateWindowExA(0, kClassName, text.c_str(), WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                nullptr);
  EXPECT_EQ(std::string(CWindow::GetWindowText(window).c_str()), text);
  SetWindowTextA(window, "");
  EXPECT_EQ(std::string(CWindow::GetWindowText(window).c_str()), "");
  DestroyWindow(window);
}

TEST_F(WindowMove, CentringUsesTheOtherWindowOrTheScreen) {
  CWindow window, other;
  window.Create("Centred", "Centred", kClassName, WS_POPUP, 0, 0, 0, 100, 60, nullptr, nullptr);
  other.Create("Other", "Other", kClassName, WS_POPUP, 0, 10, 10, 51, 41, nullptr, nullptr);
  window.CenterOnWindow(&other, false);
  EXPECT_EQ(window.GetRect().left, 10 + ((51 - 100) >> 1));
  EXPECT_EQ(window.GetRect().top, 10 + ((41 - 60) >> 1));
  window.CenterOnWindow(&other, true);
  EXPECT_EQ(window.GetRect().left, 0);
  window.CenterOnWindow(nullptr, true);
  EXPECT_EQ(window.GetRect().left, (1024 - 100) / 2);
}
