// Frame painting in memory: tiles of a window give exactly the pixels of
// painting it whole, stretching puts the first and last pixels on the
// ends, tiling follows the cell's start whatever the clip, and narrow
// windows lose the middle and right columns.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "display/frames/FrameCells.h"
#include "display/frames/FrameGeometry.h"
#include "foundation/bitmaps/BitmapStretcher.h"
#include "foundation/bitmaps/PixelFormat.h"

namespace {

// A 32-bit picture of its own pixels.
struct Picture {
  std::vector<DWORD> pixels;
  FramePicture view;
  Picture(int width, int height, DWORD seed) : pixels(static_cast<size_t>(width) * height) {
    uint32_t state = seed * 2654435761u + 1;
    for (DWORD& pixel : pixels) {
      state = state * 1664525u + 1013904223u;
      pixel = state >> 8;
    }
    view = FramePicture{reinterpret_cast<const BYTE*>(pixels.data()), width * 4, width, height};
  }
};

// A window-sized 32-bit buffer, filled with a value nothing paints.
struct Canvas {
  int width, height;
  std::vector<DWORD> pixels;
  Canvas(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h, 0xDEADBEEF) {}
  FrameTarget Target(const RECT& clip) {
    return FrameTarget{reinterpret_cast<BYTE*>(&pixels[static_cast<size_t>(clip.top) * width + clip.left]), width * 4,
                       4, clip};
  }
  DWORD At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

struct Painter {
  CBitmapStretcher stretcher;
  FramePainter painter;
  explicit Painter(bool smooth) {
    CPixelFormat format;
    format.SetMasks(32, 0xFF0000, 0xFF00, 0xFF);
    stretcher.SetFormat(format);
    painter = FramePainter{&stretcher, smooth};
  }
};

// Nine parts of a skin-like frame: 14 x 12 corners, a 20 x 16 centre.
struct NineParts {
  std::vector<Picture> pictures;
  FramePicture views[9];
  NineParts() {
    const int widths[3] = {14, 20, 11}, heights[3] = {12, 16, 9};
    for (int i = 0; i < 9; ++i) pictures.emplace_back(widths[i % 3], heights[i / 3], i + 1);
    for (int i = 0; i < 9; ++i) views[i] = pictures[i].view;
  }
};

}  // namespace

TEST(FrameCells, TilesOfALargeWindowGiveThePixelsOfPaintingItWhole) {
  NineParts parts;
  Painter smooth(true);
  const FrameSpread spreads[2] = {FrameSpread::kStretch, FrameSpread::kTile};
  for (FrameSpread across : spreads) {
    for (FrameSpread down : spreads) {
      const int width = 900, height = 700;
      Canvas whole(width, height), tiled(width, height);
      PaintNinePartFrame(whole.Target({0, 0, width, height}), smooth.painter, parts.views, width, height, across,
                         down, false);
      for (int top = 0; top < height; top += 480)
        for (int left = 0; left < width; left += 640) {
          const RECT tile{left, top, std::min(left + 640, width), std::min(top + 480, height)};
          PaintNinePartFrame(tiled.Target(tile), smooth.painter, parts.views, width, height, across, down, false);
        }
      ASSERT_EQ(whole.pixels, tiled.pixels) << int(across) << "/" << int(down);
      EXPECT_EQ(whole.At(0, 0), parts.pictures[0].pixels[0]);
      EXPECT_EQ(whole.At(width - 1, height - 1), parts.pictures[8].pixels.back());
      for (DWORD pixel : whole.pixels) ASSERT_NE(pixel, 0xDEADBEEF) << "every pixel of the window is painted";
    }
  }
}

TEST(FrameCells, StretchingTenPixelsToNineteenTakesEveryHalfPixel) {
  std::vector<DWORD> row(10);
  for (int i = 0; i < 10; ++i) row[i] = static_cast<DWORD>(20 * i) * 0x010101;
  const FramePicture edge{reinterpret_cast<const BYTE*>(row.data()), 40, 10, 1};
  Painter smooth(true);
  Canvas canvas(19, 1);
  PaintFrameCell(canvas.Target({0, 0, 19, 1}), smooth.painter, edge, {0, 0, 19, 1}, FrameSpread::kStretch,
                 FrameSpread::kTile);
  for (int i = 0; i < 19; ++i) {
    const DWORD low = (i / 2) * 20, high = std::min(i / 2 + 1, 9) * 20;
    const DWORD value = i % 2 == 0 ? low : CBitmapStretcher::Blend(low, high, 16);
    EXPECT_EQ(canvas.At(i, 0) & 0xFF, value) << "destination " << i << " takes source " << i / 2.0;
  }
  EXPECT_EQ(canvas.At(18, 0), row[9]) << "the last pixel falls on the last source pixel";

  // A clipped part of the same stretch takes the same positions.
  Canvas part(19, 1);
  PaintFrameCell(part.Target({7, 0, 12, 1}), smooth.painter, edge, {0, 0, 19, 1}, FrameSpread::kStretch,
                 FrameSpread::kTile);
  for (int i = 7; i < 12; ++i) EXPECT_EQ(part.At(i, 0), canvas.At(i, 0)) << i;

  // One pixel stretched over any length repeats it.
  Canvas repeated(13, 1);
  const FramePicture single{reinterpret_cast<const BYTE*>(row.data() + 3), 4, 1, 1};
  PaintFrameCell(repeated.Target({0, 0, 13, 1}), smooth.painter, single, {0, 0, 13, 1}, FrameSpread::kStretch,
                 FrameSpread::kTile);
  for (int i = 0; i < 13; ++i) EXPECT_EQ(repeated.At(i, 0), row[3]);
}

TEST(FrameCells, TilingStartsAtTheClipsOffsetIntoTheCell) {
  std::vector<DWORD> row(7);
  for (int i = 0; i < 7; ++i) row[i] = 100 + i;
  const FramePicture edge{reinterpret_cast<const BYTE*>(row.data()), 28, 7, 1};
  Painter nearest(false);
  Canvas canvas(20, 1);
  PaintFrameCell(canvas.Target({5, 0, 20, 1}), nearest.painter, edge, {0, 0, 20, 1}, FrameSpread::kTile,
                 FrameSpread::kTile);
  for (int x = 0; x < 5; ++x) EXPECT_EQ(canvas.At(x, 0), 0xDEADBEEF) << "outside the clip";
  for (int x = 5; x < 20; ++x) EXPECT_EQ(canvas.At(x, 0), static_cast<DWORD>(100 + x % 7)) << x;
}

TEST(FrameCells, NarrowWindowsLoseTheMiddleThenTheRightColumn) {
  struct Case {
    int width;
    FrameColumns expected;
  } cases[] = {
      {40, {14, 15, 11}},
      {25, {14, 0, 11}},  // exactly both sides: no middle
      {20, {14, 0, 6}},
      {5, {5, 0, 0}},  // narrower than part 3: only the left column
  };
  for (const Case& c : cases) {
    const FrameColumns columns = SplitFrameColumns(c.width, 14, 11);
    EXPECT_EQ(columns.left, c.expected.left) << c.width;
    EXPECT_EQ(columns.middle, c.expected.middle) << c.width;
    EXPECT_EQ(columns.right, c.expected.right) << c.width;
  }

  NineParts parts;
  Painter smooth(true);
  Canvas canvas(5, 40);
  PaintNinePartFrame(canvas.Target({0, 0, 5, 40}), smooth.painter, parts.views, 5, 40, FrameSpread::kStretch,
                     FrameSpread::kStretch, false);
  for (int x = 0; x < 5; ++x) {
    EXPECT_EQ(canvas.At(x, 0), parts.pictures[0].pixels[x]) << "top-left corner";
    EXPECT_EQ(canvas.At(x, 39), parts.pictures[6].pixels[static_cast<size_t>(8) * 14 + x]) << "bottom-left corner";
  }
}

TEST(FrameCells, LowWindowsShowTheBottomPartOverTheTop) {
  NineParts parts;
  Painter smooth(true);
  Canvas canvas(60, 7);  // lower than 12 + 9, lower than the bottom part
  PaintNinePartFrame(canvas.Target({0, 0, 60, 7}), smooth.painter, parts.views, 60, 7, FrameSpread::kStretch,
                     FrameSpread::kStretch, false);
  // The bottom part ends on the window's last row; its first two rows
  // fall above the window.
  EXPECT_EQ(canvas.At(0, 6), parts.pictures[6].pixels[static_cast<size_t>(8) * 14]);
  EXPECT_EQ(canvas.At(0, 0), parts.pictures[6].pixels[static_cast<size_t>(2) * 14]);
}

TEST(FrameCells, MissingMasksFillTheirCellsWithOne) {
  std::vector<BYTE> corner(14 * 12, 0);
  FramePicture masks[9];
  const int widths[3] = {14, 20, 11}, heights[3] = {12, 16, 9};
  for (int i = 0; i < 9; ++i) masks[i] = FramePicture{nullptr, 0, widths[i % 3], heights[i / 3]};
  masks[0] = FramePicture{corner.data(), 14, 14, 12};
  CBitmapStretcher stretcher;
  CPixelFormat bytes;
  bytes.SetIndexed(8, nullptr);
  stretcher.SetFormat(bytes);
  std::vector<BYTE> mask(50 * 40, 7);
  FrameTarget target{mask.data(), 50, 1, {0, 0, 50, 40}};
  PaintNinePartFrame(target, FramePainter{&stretcher, false}, masks, 50, 40, FrameSpread::kTile,
                     FrameSpread::kStretch, true);
  EXPECT_EQ(mask[0], 0) << "the corner's mask";
  EXPECT_EQ(mask[13 + 11 * 50], 0);
  EXPECT_EQ(mask[14], 1) << "no mask: inside";
  EXPECT_EQ(mask[49 + 39 * 50], 1);
  for (BYTE value : mask) ASSERT_NE(value, 7);
}
