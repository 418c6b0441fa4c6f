// The busy line on the screen: drawn in its colour over the window's
// frame, each line erased from the clean background before the next, the
// pause drawing and erasing nothing, and the rectangles with no room to
// grow a line in.
#include <gtest/gtest.h>

#include "AuxFixture.h"
#include "display/lineanim/LineAnimationWindow.h"
#include "foundation/errors/ThreadErrorState.h"

using namespace displaytest;

namespace {

constexpr DWORD kLineColour = 0x00FFFF;  // yellow

class LineAnimationTest : public AuxTest {
 protected:
  void SetUp() override {
    AuxTest::SetUp();
    window.Create("Busy", "Busy", 40, 40, 200, 100, nullptr, nullptr, false);
    window.Show(true);
    TwlTestPumpMessages();
    window.Paint(nullptr);
  }
  void TearDown() override {
    animation.Stop();
    window.Destroy();
    AuxTest::TearDown();
  }
  // A pixel of the window, 0x00BBGGRR.
  COLORREF At(int x, int y) const { return TwlTestGetWindowPixel(window.GetWindowHandle(), x, y); }

  CAuxWindow window;
  CLineAnimationWindow animation;
};

TEST_F(LineAnimationTest, EachLineIsErasedToTheFrameBeforeTheNextAndThePauseTouchesNothing) {
  const RECT rect{10, 30, 110, 40};
  const COLORREF frame = At(60, 39);
  ASSERT_NE(frame, kLineColour);
  animation.Setup(&window, rect, CLineAnimationWindow::kDownwards, 8, 1, 2, 3, Pixel(kLineColour));
  ASSERT_TRUE(animation.Start()) << GetThreadErrorText().c_str();

  animation.Tick();  // step 1 at y 31, 22 pixels long around x 60
  EXPECT_EQ(At(60, 31), kLineColour);
  EXPECT_EQ(At(60, 32), kLineColour);
  for (int tick = 2; tick <= 7; ++tick) animation.Tick();  // step 7 at y 38, x 16 to 104
  EXPECT_NE(At(60, 31), kLineColour) << "step 1's line is gone";
  EXPECT_EQ(At(16, 38), kLineColour);
  EXPECT_EQ(At(103, 39), kLineColour);
  EXPECT_NE(At(15, 38), kLineColour);

  animation.Tick();  // the last pass ends: erased, the pause begins
  EXPECT_EQ(At(60, 39), frame);
  EXPECT_EQ(animation.GetDrawnLine().right, 0);
  animation.Tick();
  animation.Tick();
  animation.Tick();
  EXPECT_EQ(animation.GetDrawnLine().right, 0) << "three ticks of pause and the one out of it draw nothing";
  animation.Tick();
  EXPECT_EQ(animation.GetDrawnLine().top, 31) << "the next series starts at step 1";
  EXPECT_EQ(At(60, 31), kLineColour);

  animation.EndAnimation();
  EXPECT_NE(At(60, 31), kLineColour) << "ending restores the background under the last line";
  EXPECT_FALSE(animation.IsRunning());
}

TEST_F(LineAnimationTest, RectanglesWithoutRoomToGrowDrawWholeOrNothing) {
  struct Case {
    RECT rect;
    int direction;
    int steps;
    RECT firstLine;  // all zero: nothing drawn
    const char* why;
  };
  const Case cases[] = {
      {{10, 30, 110, 31}, CLineAnimationWindow::kDownwards, 4, {10, 30, 110, 31}, "one pixel high: the full width"},
      {{10, 30, 11, 80}, CLineAnimationWindow::kRightwards, 4, {10, 30, 11, 80}, "one pixel wide: the full height"},
      {{10, 30, 110, 40}, CLineAnimationWindow::kDownwards, 0, {}, "no steps count as one: it stays at the edge"},
      {{10, 30, 10, 40}, CLineAnimationWindow::kDownwards, 8, {}, "an empty rectangle starts but never draws"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    animation.Setup(&window, c.rect, c.direction, c.steps, 2, 1, 5, Pixel(kLineColour));
    ASSERT_TRUE(animation.Start());
    animation.Tick();
    const RECT& line = animation.GetDrawnLine();
    EXPECT_EQ(line.left, c.firstLine.left);
    EXPECT_EQ(line.top, c.firstLine.top);
    EXPECT_EQ(line.right, c.firstLine.right);
    EXPECT_EQ(line.bottom, c.firstLine.bottom);
    animation.Stop();
  }
}

}  // namespace
