// The program's own tooltips on the manual clock: the hover wait, what
// cancels it, excluded rectangles, the place near the work area's bottom,
// switching them off, and the skin's colours on the tooltip window.
#include <gtest/gtest.h>

#include "DisplayFixture.h"
#include "display/tooltips/TooltipManager.h"
#include "twlwin/testing.h"

using namespace displaytest;

namespace {

// A window at (100, 100), 300 x 200, whose tool covers (10, 10)-(110, 60)
// with (50, 30)-(60, 40) excluded.
class TooltipTest : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    TwlTestUseManualClock(TRUE);
    window.Create("Tips", "tips", kClassName, WS_POPUP | WS_VISIBLE, 0, 100, 100, 300, 200, nullptr, nullptr);
    const RECT tool{10, 10, 110, 60};
    tip = window.GetTooltips().Add(window.GetWindowHandle(), &tool, "Play - starts");
    ASSERT_NE(tip, nullptr);
    tip->AddRect(RECT{50, 30, 60, 40});
  }
  void TearDown() override {
    window.Destroy();
    TwlTestSetWorkArea(nullptr);
    TwlTestUseManualClock(FALSE);
    DisplayTest::TearDown();
  }

  // The mouse moves to a point of the window (client coordinates).
  void MoveTo(int x, int y) {
    TwlTestMouseMove(100 + x, 100 + y);
    TwlTestPumpMessages();
  }
  void Wait(DWORD milliseconds) {
    TwlTestAdvanceClock(milliseconds);
    window.GetTooltips().Poll();
  }
  bool Visible() const { return IsWindowVisible(tip->GetWindowHandle()) != FALSE; }
  RECT TipRect() const {
    RECT rect{};
    GetWindowRect(tip->GetWindowHandle(), &rect);
    return rect;
  }

  CWindow window;
  CSkinTooltip* tip = nullptr;
};

TEST_F(TooltipTest, ShowsAtTheFirstPollAfterHalfASecondOfRest) {
  MoveTo(20, 20);
  Wait(499);
  EXPECT_FALSE(tip->IsShown()) << "499 ms of rest";
  Wait(1);
  EXPECT_TRUE(tip->IsShown());
  EXPECT_TRUE(Visible());
  EXPECT_NE(GetForegroundWindow(), tip->GetWindowHandle()) << "shown without taking the activation";
  const RECT rect = TipRect();
  EXPECT_EQ(rect.left, 120);
  EXPECT_EQ(rect.top, 120 + GetSystemMetrics(SM_CYCURSOR)) << "below the cursor";

  MoveTo(200, 150);
  EXPECT_FALSE(tip->IsShown()) << "the mouse left the tool";
  EXPECT_FALSE(Visible());
}

TEST_F(TooltipTest, WhatCancelsOrHidesIt) {
  // A poll finding the cursor elsewhere cancels the wait.
  MoveTo(20, 20);
  SetCursorPos(125, 125);
  Wait(500);
  EXPECT_FALSE(tip->IsShown());
  EXPECT_FALSE(tip->IsHoverPending());
  Wait(1000);
  EXPECT_FALSE(tip->IsShown()) << "only the next mouse move starts a new wait";

  // Inside the excluded rectangle, even inside the tool.
  MoveTo(55, 35);
  Wait(600);
  EXPECT_FALSE(tip->IsShown());

  // A button press hides a shown one.
  MoveTo(20, 20);
  Wait(500);
  ASSERT_TRUE(tip->IsShown());
  TwlTestMouseButton(VK_LBUTTON, TRUE, 120, 120);
  TwlTestPumpMessages();
  EXPECT_FALSE(tip->IsShown());
  TwlTestMouseButton(VK_LBUTTON, FALSE, 120, 120);
  TwlTestPumpMessages();
}

TEST_F(TooltipTest, NearTheWorkAreasBottomItSitsAboveTheCursor) {
  const RECT work{0, 0, 1024, 160};
  TwlTestSetWorkArea(&work);
  MoveTo(20, 50);
  Wait(500);
  ASSERT_TRUE(tip->IsShown());
  const RECT rect = TipRect();
  const int textHeight = rect.bottom - rect.top - 4;
  EXPECT_EQ(rect.top, 150 - textHeight - 14);
  EXPECT_LE(rect.bottom, 150) << "the cursor stays uncovered";
}

TEST_F(TooltipTest, SwitchedOffItHidesAndOnAgainWaitsForTheNextHover) {
  MoveTo(20, 20);
  Wait(500);
  ASSERT_TRUE(tip->IsShown());
  window.GetTooltips().EnableAll(false);
  EXPECT_FALSE(tip->IsShown());
  EXPECT_FALSE(Visible());
  Wait(1000);
  EXPECT_FALSE(tip->IsShown()) << "off";

  window.GetTooltips().EnableAll(true);
  Wait(1000);
  EXPECT_FALSE(tip->IsShown()) << "nothing until the next hover";
  MoveTo(21, 20);
  Wait(500);
  EXPECT_TRUE(tip->IsShown());

  // A tooltip added while they are off starts off.
  window.GetTooltips().EnableAll(false);
  CSkinTooltip* later = window.GetTooltips().Add(window.GetWindowHandle(), nullptr, "later");
  ASSERT_NE(later, nullptr);
  EXPECT_FALSE(later->IsEnabled());
}

TEST_F(TooltipTest, PaintsInTheSkinsTooltipColours) {
  ui().SetSkinName(CUserInterface::kDefaultSkinName);
  ASSERT_TRUE(ui().InitSkin());
  tip->UpdateColors();
  MoveTo(20, 20);
  Wait(500);
  ASSERT_TRUE(tip->IsShown());
  TwlTestPumpMessages();
  const DWORD background = ui().GetDDSkin().GetColorSet().GetSourceColor(27);
  const DWORD border = ui().GetDDSkin().GetColorSet().GetSourceColor(29);
  const RECT rect = TipRect();
  EXPECT_EQ(TwlTestGetWindowPixel(tip->GetWindowHandle(), 0, 0), border);
  EXPECT_EQ(TwlTestGetWindowPixel(tip->GetWindowHandle(), rect.right - rect.left - 1, 1), border);
  EXPECT_EQ(TwlTestGetWindowPixel(tip->GetWindowHandle(), 1, 1), background);
  window.GetTooltips().RemoveAll();
  ui().ExitSkin();
}

}  // namespace
