// Painting: the dirty rectangle, the tiles of a window larger than the
// back buffer, what the screen shows at each display depth, a lost surface
// restored once per run of failures, and a paint without a screen.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DisplayFixture.h"
#include "foundation/bitmaps/ColorTable.h"
#include "foundation/errors/ThreadErrorState.h"

using namespace displaytest;

namespace {

// Paints each tile in a colour of its own and notes the tiles.
class TiledWindow : public CWindow {
 public:
  static DWORD ColorOf(const RECT& tile) { return 0x102030u + static_cast<DWORD>(tile.left / 8 + tile.top * 256); }

  void Make(int x, int y, int width, int height) {
    Create("Tiles", "", kClassName, WS_POPUP | WS_VISIBLE, 0, x, y, width, height, nullptr, nullptr);
  }
  bool BeginTile(IDirectDrawSurface2* backBuffer, int x, int y, const RECT& tile) override {
    tiles.push_back(tile);
    origins.push_back(POINT{x, y});
    if (failBegin != DD_OK) {
      SetThreadError(THREAD_ERROR_DIRECTDRAW, static_cast<DWORD>(failBegin), "lost");
      return false;
    }
    const RECT area{x, y, x + tile.right - tile.left, y + tile.bottom - tile.top};
    DDBLTFX fx{};
    fx.dwSize = sizeof fx;
    fx.dwFillColor = GetUserInterface().GetDisplayState().ConvertColor(color ? color : ColorOf(tile));
    RECT target = area;
    return SUCCEEDED(backBuffer->Blt(&target, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx));
  }

  std::vector<RECT> tiles;
  std::vector<POINT> origins;
  HRESULT failBegin = DD_OK;
  DWORD color = 0;
};

// A colour 0x00BBGGRR as the screen shows it.
DWORD ScreenColor(HWND window, int x, int y) { return TwlTestGetWindowPixel(window, x, y); }

const RECT kNothing{};

class WindowPaint : public DisplayTest {};

}  // namespace

TEST_F(WindowPaint, AWindowLargerThanTheBackBufferIsPaintedInTilesAtItsOrigin) {
  TiledWindow window;
  window.Make(4, 6, 1000, 700);
  ASSERT_TRUE(window.Paint(nullptr));
  const std::vector<RECT> expected = {
      {0, 0, 640, 480}, {640, 0, 1000, 480}, {0, 480, 640, 700}, {640, 480, 1000, 700}};
  ASSERT_EQ(window.tiles.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_TRUE(EqualRect(&window.tiles[i], &expected[i])) << "tile " << i;
    EXPECT_EQ(window.origins[i].x, 0) << "tile " << i;
    EXPECT_EQ(window.origins[i].y, 0) << "tile " << i;
  }
  HWND handle = window.GetWindowHandle();
  for (const RECT& tile : expected) {
    EXPECT_EQ(ScreenColor(handle, tile.left, tile.top), TiledWindow::ColorOf(tile));
    EXPECT_EQ(ScreenColor(handle, tile.right - 1, tile.bottom - 1), TiledWindow::ColorOf(tile));
  }
}

TEST_F(WindowPaint, DirtyRectangleGrowsWithinTheWindowAndIsClearedByItsPaint) {
  TiledWindow window;
  window.Make(0, 0, 100, 100);
  window.InvalidateRect(nullptr);
  ASSERT_TRUE(window.PaintDirty());
  const RECT first{-5, -5, 10, 10};
  window.InvalidateRect(&first);
  RECT expected{0, 0, 10, 10};
  EXPECT_TRUE(EqualRect(&window.GetDirtyRect(), &expected));
  const RECT second{50, 50, 60, 60};
  window.InvalidateRect(&second);
  expected = RECT{0, 0, 60, 60};
  EXPECT_TRUE(EqualRect(&window.GetDirtyRect(), &expected));
  const RECT beyond{90, 90, 130, 120};
  window.InvalidateRect(&beyond);
  expected = RECT{0, 0, 100, 100};
  EXPECT_TRUE(EqualRect(&window.GetDirtyRect(), &expected)) << "cut at the window's size";

  window.SetSize(40, 30);
  expected = RECT{0, 0, 40, 30};
  EXPECT_TRUE(EqualRect(&window.GetDirtyRect(), &expected)) << "a smaller window cuts it";
  window.tiles.clear();
  EXPECT_TRUE(window.PaintDirty());
  ASSERT_EQ(window.tiles.size(), 1u);
  EXPECT_TRUE(EqualRect(&window.tiles[0], &expected));
  EXPECT_TRUE(EqualRect(&window.GetDirtyRect(), &kNothing));
  window.tiles.clear();
  EXPECT_TRUE(window.PaintDirty());
  EXPECT_TRUE(window.tiles.empty()) << "nothing dirty, nothing painted";

  // A part painted leaves a dirty rectangle that reaches beyond it.
  window.InvalidateRect(nullptr);
  const RECT part{0, 0, 10, 10};
  EXPECT_TRUE(window.Paint(&part));
  EXPECT_TRUE(EqualRect(&window.GetDirtyRect(), &expected));
}

TEST_F(WindowPaint, AHiddenWindowPaintsNothingAndIsNoLongerDirty) {
  TiledWindow window;
  window.Make(0, 0, 100, 100);
  window.Show(false);
  window.InvalidateRect(nullptr);
  EXPECT_TRUE(window.Paint(nullptr));
  EXPECT_TRUE(window.tiles.empty());
  EXPECT_TRUE(EqualRect(&window.GetDirtyRect(), &kNothing));
}

TEST_F(WindowPaint, WindowPaintsWhenWindowsAsksAndWhenPosted) {
  TiledWindow window;
  window.Make(0, 0, 50, 40);
  window.color = 0x4080C0;
  TwlTestPumpMessages();
  EXPECT_FALSE(window.tiles.empty()) << "WM_PAINT";
  EXPECT_EQ(ScreenColor(window.GetWindowHandle(), 10, 10), 0x4080C0u);
  window.tiles.clear();
  const RECT part{5, 5, 15, 15};
  window.InvalidateRect(&part);
  PostMessageA(window.GetWindowHandle(), CWindow::kWindowPaintDirtyMessage, 0, 0);
  TwlTestPumpMessages();
  ASSERT_EQ(window.tiles.size(), 1u);
  EXPECT_TRUE(EqualRect(&window.tiles[0], &part));
}

TEST_F(WindowPaint, TwoPaintsFailingWithALostSurfaceLogOnceAndRestoreOnce) {
  TiledWindow window;
  window.Make(0, 0, 100, 100);
  window.failBegin = DDERR_SURFACELOST;
  log.Clear();
  window.InvalidateRect(nullptr);
  EXPECT_FALSE(window.Paint(nullptr));
  EXPECT_EQ(window.tiles.size(), 2u) << "painted again once after the restoration";
  EXPECT_FALSE(window.Paint(nullptr));
  const std::string text = log.Text();
  EXPECT_EQ(Count(text, "Error during paint of window 'Tiles':"), 1) << text;
  EXPECT_EQ(Count(text, " --------Restoring surfaces--------"), 1) << text;
  EXPECT_EQ(window.GetLastPaintError(), DDERR_SURFACELOST);
  EXPECT_FALSE(window.LastPaintSucceeded());
  const RECT whole{0, 0, 100, 100};
  EXPECT_TRUE(EqualRect(&window.GetDirtyRect(), &whole)) << "still dirty for the next try";
  bool paintCategory = false;
  for (const auto& entry : log.Entries())
    if (entry.text.find("Error during paint") != std::string::npos) paintCategory = entry.category == 0x200;
  EXPECT_TRUE(paintCategory);

  // Once a paint succeeds, the next failure is a new run.
  window.failBegin = DD_OK;
  EXPECT_TRUE(window.Paint(nullptr));
  EXPECT_TRUE(window.LastPaintSucceeded());
  window.failBegin = DDERR_SURFACELOST;
  EXPECT_FALSE(window.Paint(nullptr));
  EXPECT_EQ(Count(log.Text(), "Error during paint of window 'Tiles':"), 2);
  EXPECT_EQ(Count(log.Text(), " --------Restoring surfaces--------"), 2);
}

TEST_F(WindowPaint, AfterAnInjectedLossTheWindowIsRestoredAndPainted) {
  TiledWindow window;
  window.Make(0, 0, 100, 100);
  window.color = 0x00FF00;
  ASSERT_TRUE(window.Paint(nullptr));
  window.color = 0xFF0000;
  TwlTestLoseSurfaces();
  log.Clear();
  EXPECT_TRUE(window.Paint(nullptr));
  EXPECT_EQ(ScreenColor(window.GetWindowHandle(), 50, 50), 0xFF0000u);
  const std::string text = log.Text();
  EXPECT_EQ(Count(text, "Error during paint of window 'Tiles':"), 1) << text;
  EXPECT_NE(text.find("Surface"), std::string::npos) << "the lost surface's text: " << text;
  EXPECT_EQ(Count(text, " --------all surfaces restored--------"), 1) << text;
  EXPECT_TRUE(window.LastPaintSucceeded());
  EXPECT_EQ(window.GetLastPaintError(), DD_OK);
}

TEST_F(WindowPaint, WithoutAPrimarySurfaceAPaintFailsWithItsOwnError) {
  TiledWindow window;
  window.Make(0, 0, 100, 100);
  ui().DestroyPrimarySurface();
  EXPECT_FALSE(window.Paint(nullptr));
  EXPECT_EQ(GetThreadErrorState()->type, static_cast<DWORD>(THREAD_ERROR_GENERAL));
  EXPECT_STREQ(GetThreadErrorState()->text, "No primary surface.");
  EXPECT_EQ(window.GetLastPaintError(), E_FAIL);
  EXPECT_TRUE(window.tiles.empty());
}

TEST_F(WindowPaint, EveryDisplayDepthShowsThePaintedColours) {
  const struct {
    int depth;
    DWORD color;
  } cases[] = {
      {16, 0xFF00FF},  // 5-6-5 shows a channel's top bits again below them
      {24, 0x3868F8},
      {8, 0x3868F8},
  };
  for (const auto& row : cases) {
    const int depth = row.depth;
    const DWORD color = row.color;
    SCOPED_TRACE(depth);
    UseDisplay(800, 600, depth);
    if (depth == 8) {
      // The palette holds the colour; realised, the system palette does too.
      CColorTable colors;
      colors.Setup(5, 6, 5, 16);
      colors.MarkCell(colors.GetCellOffset(color));
      ui().BuildPalette(colors);
      HDC dc = GetDC(nullptr);
      HPALETTE old = SelectPalette(dc, ui().GetDisplayState().GetPalette(), FALSE);
      RealizePalette(dc);
      SelectPalette(dc, old, FALSE);
      ReleaseDC(nullptr, dc);
      ui().GetPrimaryBlitter().BuildPaletteMap();
    }
    TiledWindow window;
    window.Make(30, 40, 200, 100);
    window.color = color;
    ASSERT_TRUE(window.Paint(nullptr));
    EXPECT_EQ(ScreenColor(window.GetWindowHandle(), 199, 99), color);
    if (depth != 8) continue;
    // A skin colour of green 1, the key's colour, shows black.
    window.color = 0x000100;
    ASSERT_TRUE(window.Paint(nullptr));
    EXPECT_EQ(ScreenColor(window.GetWindowHandle(), 0, 0), 0u);
  }
}
