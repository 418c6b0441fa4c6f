// The slider and the tracking image over the built-in skin's volume bar,
// their tracking reports, their values, hostile bar data and maxima, image
// buttons that put back exactly what lay under them, and where button
// frames are drawn.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ControlFixture.h"
#include "display/controls/DDBitmapButtons.h"
#include "display/controls/DDImageControls.h"
#include "display/skinrender/DDBarSkin.h"
#include "display/skinrender/DDMainWindowSkin.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "skins/bars/BarConnector.h"
#include "skins/bars/BarData.h"
#include "skins/bars/BarScript.h"
#include "skins/mainwindow/MainWindowSkin.h"
#include "skins/masks/Mask.h"
#include "support/TestPaths.h"

using namespace controltest;

namespace {

constexpr POINT kSliderAt{60, 50};

class ImageControlTest : public ControlTest {
 protected:
  CDDBarSkin& VolumeBar() { return *ui().GetDDSkin().GetMainWindowSkin(0).GetBar(CMainWindowSkin::kVolumeBar); }

  // The volume bar as a slider at kSliderAt of `owner`.
  std::unique_ptr<CDDSlider> MakeVolumeSlider(void* owner, DDControlCallback callback) {
    CDDBarSkin& bar = VolumeBar();
    EXPECT_NE(bar.GetBarData(), nullptr) << "the built-in volume bar has a script";
    const SIZE size = bar.GetPictureSize();
    const RECT rect{kSliderAt.x, kSliderAt.y, kSliderAt.x + size.cx, kSliderAt.y + size.cy};
    const BYTE* mask = bar.GetMask() && bar.GetMask()->GetWidth() == size.cx && bar.GetMask()->GetHeight() == size.cy
                           ? bar.GetMask()->GetBytes()
                           : nullptr;
    auto slider = std::make_unique<CDDSlider>();
    EXPECT_EQ(slider->Create(1, callback, owner, rect, mask, bar.GetBarData(), bar.GetBitmap(), 0), 1);
    return slider;
  }

  // A plain surface of the display filled with the background colour.
  IDirectDrawSurface2* MakeSurface(DWORD width, DWORD height) {
    IDirectDrawSurface2* surface = nullptr;
    EXPECT_EQ(ui().GetDisplayState().CreateOffscreenSurface(width, height, &surface), DD_OK);
    if (surface) {
      EXPECT_EQ(Fill(surface, RECT{0, 0, LONG(width), LONG(height)}, kBackground), DD_OK);
    }
    surfaces.emplace_back(surface);
    return surface;
  }

  static bool Save(IDirectDrawSurface2* surface, const std::string& path) {
    HDC dc = nullptr;
    if (FAILED(surface->GetDC(&dc))) return false;
    const bool saved = TwlTestSaveDcPng(dc, path.c_str());
    surface->ReleaseDC(dc);
    return saved;
  }

  struct Releaser {
    void operator()(IDirectDrawSurface2* surface) const {
      if (surface) surface->Release();
    }
  };
  std::vector<std::unique_ptr<IDirectDrawSurface2, Releaser>> surfaces;
};

std::string Quote(const std::string& text) { return "'" + text + "'"; }

}  // namespace

TEST_F(ImageControlTest, AClippedSliderWritesOnlyInsideTheClipButItsFillPassesThroughTheRest) {
  auto slider = MakeVolumeSlider(nullptr, nullptr);
  slider->SetValue(slider->GetMaximum());
  const RECT& rect = slider->GetRect();
  const POINT fill = VolumeBar().GetBarData()->GetFillPoint();
  const LONG half = (rect.left + rect.right) / 2;
  ASSERT_LT(rect.left + fill.x, half) << "the fill starts in the left half, outside the clip";
  const RECT clip{half, rect.top, rect.right + 5, rect.bottom};

  IDirectDrawSurface2* full = MakeSurface(200, 120);
  IDirectDrawSurface2* clipped = MakeSurface(200, 120);
  ASSERT_EQ(slider->Draw(full, 0, 0, nullptr), 1);
  ASSERT_EQ(slider->Draw(clipped, 0, 0, &clip), 1);
  const std::string dir = twltest::MakeTempDir("slider");
  ASSERT_TRUE(Save(full, dir + "/full.png"));
  ASSERT_TRUE(Save(clipped, dir + "/clipped.png"));
  std::string result;
  const std::string clipText = std::to_string(clip.left) + "," + std::to_string(clip.top) + "," +
                               std::to_string(clip.right) + "," + std::to_string(clip.bottom);
  ASSERT_EQ(twltest::RunCommand(
                "python3 " + Quote(twltest::SourceDir() + "/tests/display/windows/slider_clip_check.py") + " " +
                    Quote(dir + "/full.png") + " " + Quote(dir + "/clipped.png") + " " + clipText + " 403020",
                &result),
            0);
  EXPECT_EQ(result.rfind("outside-written 0 inside-differ 0 inside-filled ", 0), 0u) << result;
  EXPECT_EQ(result.find("inside-filled 0\n"), std::string::npos) << "the fill reached the clip: " << result;
}

TEST_F(ImageControlTest, ASliderDragIsFollowedWithinFiftyPixelsAndAReleaseOutsideEndsItSilently) {
  ControlWindow window;
  window.Make(400, 300);
  auto slider = MakeVolumeSlider(&window, &CWindow::ControlCallback);
  window.GetControls().Add(slider.get());
  // A point of the bar itself.
  const RECT& rect = slider->GetRect();
  POINT onBar{-1, -1};
  for (LONG y = rect.top; y < rect.bottom && onBar.x < 0; ++y)
    for (LONG x = rect.left; x < rect.right && onBar.x < 0; ++x)
      if (slider->HitTestInput(x, y)) onBar = POINT{x, y};
  ASSERT_GE(onBar.x, 0);

  MoveTo(onBar.x, onBar.y);
  Press(onBar.x, onBar.y);
  MoveTo(onBar.x, rect.bottom + 30);
  MoveTo(onBar.x, rect.bottom + 120);
  ReleaseAt(onBar.x, rect.bottom + 120);
  EXPECT_EQ(window.events, (std::vector<int>{20, 22})) << "pressed, followed once, then too far; no 21 outside";
  EXPECT_FALSE(slider->IsTracking());

  // The release went elsewhere: a later move is no drag.
  window.events.clear();
  Press(onBar.x, onBar.y);
  TwlTestMouseButton(VK_LBUTTON, FALSE, 1000, 700);
  TwlTestPumpMessages();
  MoveTo(onBar.x, onBar.y);
  EXPECT_EQ(window.events, (std::vector<int>{20}));
  window.GetControls().RemoveAll(false);
}

TEST_F(ImageControlTest, TrackingImageValuesRunFromZeroAtTheLeftEdgeToTheMaximumAtTheLastColumn) {
  const struct {
    const char* why;
    int maximum;
    int x;
    int expected;
  } cases[] = {
      {"the left edge", 500, 10, 0},
      {"the last column gives exactly the maximum", 500, 109, 500},
      {"the column before it is proportional", 500, 108, 490},
      {"the middle", 500, 60, 250},
      {"left of the control", 500, 0, 0},
      {"right of the control", 500, 150, 500},
      {"a maximum of 0", 0, 60, 0},
      {"a negative maximum", -4, 109, 0},
  };
  for (const auto& row : cases) {
    CDDTrackingImage image;
    ASSERT_EQ(image.Create(1, nullptr, nullptr, RECT{10, 10, 110, 20}, nullptr, nullptr, row.maximum, 0), 1);
    EXPECT_EQ(image.ValueAt(row.x, 15), row.expected) << row.why;
  }
}

TEST_F(ImageControlTest, TrackingImageDrawsNothingWithoutAMaximumAndNeverMoreThanItsPicture) {
  IDirectDrawSurface2* picture = MakeSurface(40, 10);
  ASSERT_EQ(Fill(picture, RECT{0, 0, 40, 10}, 0xFFFFFF), DD_OK);
  const struct {
    const char* why;
    int maximum;
    int value;
    int whiteColumns;
  } cases[] = {
      {"a value of 0 draws nothing", 100, 0, 0},
      {"half the value, half the control", 100, 50, 30},
      {"a maximum of 0 draws nothing", 0, 7, 0},
      {"a value beyond the maximum draws the picture, no more", 10, 1000, 40},
  };
  for (const auto& row : cases) {
    IDirectDrawSurface2* target = MakeSurface(80, 20);
    CDDTrackingImage image;
    ASSERT_EQ(image.Create(1, nullptr, nullptr, RECT{0, 0, 60, 10}, nullptr, picture, row.maximum, row.value), 1);
    EXPECT_EQ(image.Draw(target, 0, 0, nullptr), 1) << row.why;
    int white = 0;
    for (int x = 0; x < 80; ++x) {
      HDC dc = nullptr;
      ASSERT_EQ(target->GetDC(&dc), DD_OK);
      white += GetPixel(dc, x, 5) == RGB(255, 255, 255);
      target->ReleaseDC(dc);
    }
    EXPECT_EQ(white, row.whiteColumns) << row.why;
  }
}

TEST_F(ImageControlTest, BarDataPointingOutsideTheControlNeverWritesOutsideIt) {
  // Way points and fill points far outside the bar, as a damaged compiled
  // skin may give them.
  const struct {
    const char* why;
    POINT from;
    POINT to;
    POINT fill;
  } cases[] = {
      {"an edge crossing the whole area", {-500, -400}, {900, 700}, {3, 3}},
      {"a fill point left of the bar", {0, 0}, {10, 10}, {-40, 5}},
      {"a fill point far below", {0, 0}, {10, 10}, {5, 100000}},
      {"a one-point edge outside", {60, 60}, {60, 60}, {2, 2}},
  };
  for (const auto& row : cases) {
    CBarScript script;
    script.SetFillPoint(row.fill);
    script.AddPoint(row.from);
    script.AddPoint(row.to);
    script.AddConnector(std::make_unique<CBarLineConnector>());
    script.InitConnectors();
    CBarData data;
    data.Init(script, nullptr, 20, 10, 16);
    CDDSlider slider;
    ASSERT_EQ(slider.Create(1, nullptr, nullptr, RECT{10, 10, 30, 20}, nullptr, &data, VolumeBar().GetBitmap(), 0), 1);
    IDirectDrawSurface2* target = MakeSurface(40, 30);
    const RECT clip{15, 0, 40, 30};
    for (int value : {-3, 0, 7, 15, 99}) {
      slider.SetValue(value);
      EXPECT_EQ(slider.Draw(target, 0, 0, nullptr), 1) << row.why;
      EXPECT_EQ(slider.Draw(target, 0, 0, &clip), 1) << row.why;
    }
    HDC dc = nullptr;
    ASSERT_EQ(target->GetDC(&dc), DD_OK);
    const COLORREF background = RGB(0x40, 0x30, 0x20);
    int outside = 0;
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 40; ++x)
        if ((x < 10 || x >= 30 || y < 10 || y >= 20) && GetPixel(dc, x, y) != background) ++outside;
    target->ReleaseDC(dc);
    EXPECT_EQ(outside, 0) << row.why;
  }
}

TEST_F(ImageControlTest, AnImageButtonBackToNormalRestoresExactlyThePixelsUnderIt) {
  IDirectDrawSurface2* target = MakeSurface(120, 60);
  // A pattern the button's picture will cover.
  for (LONG x = 0; x < 120; x += 4) ASSERT_EQ(Fill(target, RECT{x, 0, x + 2, 60}, 0x10A0F0u + DWORD(x)), DD_OK);
  IDirectDrawSurface2* hover = MakeSurface(30, 20);
  ASSERT_EQ(Fill(hover, RECT{0, 0, 30, 20}, 0x0000FF), DD_OK);
  IDirectDrawSurface2* const pictures[3] = {hover, hover, hover};
  CDDBitmapButton button;
  const RECT rect{20, 10, 50, 30};
  ASSERT_EQ(button.Create(1, nullptr, nullptr, rect, nullptr, pictures, 1), 1);

  const std::string dir = twltest::MakeTempDir("imagebutton");
  ASSERT_TRUE(Save(target, dir + "/before.png"));
  IDirectDrawSurface2* const targets[1] = {target};
  const auto paint = [&] {
    EXPECT_EQ(button.ResetState(targets), 1);
    EXPECT_EQ(button.SaveBackgroundIfNeeded(targets), 1);
    EXPECT_EQ(button.UpdateState(targets), 1);
  };
  button.OnMouseMove(25, 15);
  paint();
  EXPECT_EQ(button.GetPainter().GetPaintedState(), 1);
  ASSERT_TRUE(Save(target, dir + "/hovered.png"));
  button.OnMouseMove(100, 50);
  paint();
  ASSERT_TRUE(Save(target, dir + "/after.png"));

  std::string differing;
  twltest::RunCommand(
      "compare -metric AE " + Quote(dir + "/before.png") + " " + Quote(dir + "/after.png") + " null: 2>&1", &differing);
  EXPECT_EQ(differing, "0");
  twltest::RunCommand(
      "compare -metric AE " + Quote(dir + "/before.png") + " " + Quote(dir + "/hovered.png") + " null: 2>&1",
      &differing);
  EXPECT_EQ(differing, "600") << "the hover picture covered the button's 30 x 20 pixels";
}

TEST_F(ImageControlTest, FramesAndFocusFramesLieWhereTheButtonStatesPutThem) {
  // 'L' light, 'S' shadow, '.' untouched, over a 10 x 8 button at (2, 1);
  // the focus frame is drawn in the light colour alone.
  const RECT button{2, 1, 12, 9};
  const struct {
    const char* why;
    int state;  // -1: the plain frame
    std::vector<std::string> rows;
  } cases[] = {
      {"a raised frame: light top and left, shadow right and bottom",
       -1,
       {"LLLLLLLLLS", "L........S", "L........S", "L........S", "L........S", "L........S", "L........S",
        "SSSSSSSSSS"}},
      {"the focus frame of a normal button: two pixels in",
       0,
       {"..........", "..........", "..LLLLLL..", "..L....L..", "..L....L..", "..LLLLLL..", "..........",
        ".........."}},
      {"the focus frame of a pressed button: three in at the top left, one at the bottom right",
       2,
       {"..........", "..........", "..........", "...LLLLLL.", "...L....L.", "...L....L.", "...LLLLLL.",
        ".........."}},
      {"no focus frame on a disabled button",
       3,
       {"..........", "..........", "..........", "..........", "..........", "..........", "..........",
        ".........."}},
  };
  const DWORD light = Pixel(0xFFFFFF);
  const DWORD shadow = Pixel(0x0000FF);
  for (const auto& row : cases) {
    IDirectDrawSurface2* target = MakeSurface(20, 12);
    if (row.state < 0) {
      ASSERT_EQ(DrawRectFrame(target, 0, 0, button, light, shadow), 1);
    } else {
      ASSERT_EQ(DrawFocusRect(target, 0, 0, button, row.state, light), 1);
    }
    HDC dc = nullptr;
    ASSERT_EQ(target->GetDC(&dc), DD_OK);
    std::vector<std::string> seen;
    for (int y = 0; y < 8; ++y) {
      std::string line;
      for (int x = 0; x < 10; ++x) {
        const COLORREF pixel = GetPixel(dc, button.left + x, button.top + y);
        line += pixel == RGB(255, 255, 255) ? 'L' : pixel == RGB(255, 0, 0) ? 'S' : '.';
      }
      seen.push_back(line);
    }
    target->ReleaseDC(dc);
    EXPECT_EQ(seen, row.rows) << row.why;
  }
}
