// Fill, keyed copy, stretch and the refusal of bad rectangles, at every
// depth the display offers surfaces in. Each row names what it proves.
#include <climits>

#include "DirectDrawFixture.h"

namespace {

using ddtest::DirectDrawTest;

constexpr int kWidth = 13;  // odd, so that 8- and 24-bit rows carry padding
constexpr int kHeight = 7;

class BlitTable : public DirectDrawTest, public ::testing::WithParamInterface<int> {
 protected:
  void SetUp() override { UseDisplay(GetParam()); }

  // Distinct values per position that are never `avoid`.
  std::vector<uint32_t> Pattern(int width, int height, uint32_t avoid) {
    std::vector<uint32_t> values;
    for (int i = 0; i < width * height; ++i) {
      uint32_t v = (0x9E3779B9u * static_cast<uint32_t>(i + 1)) & Mask();
      values.push_back(v == avoid ? (v ^ 1) : v);
    }
    return values;
  }
};

std::string DepthName(const ::testing::TestParamInfo<int>& info) { return "Bits" + std::to_string(info.param); }

INSTANTIATE_TEST_SUITE_P(Depths, BlitTable, ::testing::Values(8, 15, 16, 24, 32), DepthName);

TEST_P(BlitTable, FillWritesTheExactPixelInsideTheRectangleOnly) {
  IDirectDrawSurface2* surface = MakeSurface(kWidth, kHeight);
  ASSERT_NE(surface, nullptr);
  ASSERT_EQ(FillColour(surface, nullptr, 0x11111111), DD_OK);
  RECT rect{2, 1, 9, 5};
  // Bits beyond the depth are not part of the pixel.
  ASSERT_EQ(FillColour(surface, &rect, 0xA5C3E1F7), DD_OK);
  std::vector<uint32_t> pixels = Pixels(surface);
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      bool inside = x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
      EXPECT_EQ(pixels[y * kWidth + x], (inside ? 0xA5C3E1F7 : 0x11111111) & Mask()) << x << "," << y;
    }
}

TEST_P(BlitTable, KeyedCopyLeavesTheDestinationUnderTheKey) {
  const uint32_t key = 0x00010203 & Mask();
  const uint32_t background = 0x00C0FFEE & Mask();
  IDirectDrawSurface2* source = MakeSurface(6, 4);
  std::vector<uint32_t> pattern = Pattern(6, 4, key);
  for (int i = 0; i < 24; ++i)
    if (i % 3 == 0) pattern[i] = key;
  SetPixels(source, pattern);
  DDCOLORKEY colourKey{key, key};
  ASSERT_EQ(source->SetColorKey(DDCKEY_SRCBLT, &colourKey), DD_OK);

  IDirectDrawSurface2* byBlt = MakeSurface(kWidth, kHeight);
  IDirectDrawSurface2* byBltFast = MakeSurface(kWidth, kHeight);
  ASSERT_EQ(FillColour(byBlt, nullptr, background), DD_OK);
  ASSERT_EQ(FillColour(byBltFast, nullptr, background), DD_OK);
  RECT target{3, 2, 9, 6};
  ASSERT_EQ(byBlt->Blt(&target, source, nullptr, DDBLT_KEYSRC | DDBLT_WAIT, nullptr), DD_OK);
  ASSERT_EQ(byBltFast->BltFast(3, 2, source, nullptr, DDBLTFAST_SRCCOLORKEY | DDBLTFAST_WAIT), DD_OK);

  for (IDirectDrawSurface2* surface : {byBlt, byBltFast}) {
    std::vector<uint32_t> pixels = Pixels(surface);
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        bool inside = x >= 3 && x < 9 && y >= 2 && y < 6;
        uint32_t from = inside ? pattern[(y - 2) * 6 + (x - 3)] : key;
        EXPECT_EQ(pixels[y * kWidth + x], from == key ? background : from) << x << "," << y;
      }
  }
}

TEST_P(BlitTable, KeyRangeSkipsEveryValueInIt) {
  IDirectDrawSurface2* source = MakeSurface(4, 1);
  SetPixels(source, {5, 6, 7, 8});
  DDCOLORKEY range{6, 7};
  ASSERT_EQ(source->SetColorKey(DDCKEY_SRCBLT | DDCKEY_COLORSPACE, &range), DD_OK);
  IDirectDrawSurface2* target = MakeSurface(4, 1);
  ASSERT_EQ(FillColour(target, nullptr, 1), DD_OK);
  ASSERT_EQ(target->Blt(nullptr, source, nullptr, DDBLT_KEYSRC, nullptr), DD_OK);
  EXPECT_EQ(Pixels(target), (std::vector<uint32_t>{5, 1, 1, 8}));
}

TEST_P(BlitTable, StretchTakesTheNearestSourcePixel) {
  struct Case {
    const char* name;
    int sourceWidth, sourceHeight, targetWidth, targetHeight;
  };
  const Case cases[] = {
      {"grows by odd factors", 3, 2, 7, 5},
      {"shrinks by half", 6, 4, 3, 2},
      {"grows one way and shrinks the other", 2, 6, 5, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    IDirectDrawSurface2* source = MakeSurface(c.sourceWidth, c.sourceHeight);
    std::vector<uint32_t> pattern = Pattern(c.sourceWidth, c.sourceHeight, 0xFFFFFFFF);
    SetPixels(source, pattern);
    IDirectDrawSurface2* target = MakeSurface(kWidth, kHeight);
    ASSERT_EQ(FillColour(target, nullptr, 0), DD_OK);
    RECT where{1, 1, 1 + c.targetWidth, 1 + c.targetHeight};
    ASSERT_EQ(target->Blt(&where, source, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    std::vector<uint32_t> pixels = Pixels(target);
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) {
        int tx = x - 1;
        int ty = y - 1;
        bool inside = tx >= 0 && ty >= 0 && tx < c.targetWidth && ty < c.targetHeight;
        uint32_t expected =
            inside ? pattern[(ty * c.sourceHeight / c.targetHeight) * c.sourceWidth + tx * c.sourceWidth / c.targetWidth]
                   : 0;
        ASSERT_EQ(pixels[y * kWidth + x], expected) << x << "," << y;
      }
  }
}

TEST_P(BlitTable, BadRectanglesAreRefusedWithoutWriting) {
  struct Case {
    const char* name;
    RECT target;
    RECT source;
  };
  const RECT whole{0, 0, 4, 3};
  const RECT fits{0, 0, 4, 3};
  const Case cases[] = {
      {"empty target", {2, 2, 2, 5}, whole},
      {"inverted target", {6, 5, 2, 2}, whole},
      {"target past the right edge", {10, 0, 14, 3}, whole},
      {"target above the top", {0, -1, 4, 2}, whole},
      {"target wider than 32 bits can say", {-2147483647 - 1, 0, 2147483647, 3}, whole},
      {"target whose width wraps to a small one", {2147483644, 0, -2147483647 - 1, 3}, whole},
      {"empty source", fits, {1, 1, 1, 1}},
      {"inverted source", fits, {3, 0, 1, 2}},
      {"source past the bottom", fits, {0, 1, 4, 4}},
      {"source at a negative column", fits, {-1, 0, 3, 3}},
      {"source whose height wraps", fits, {0, 2147483647, 4, -2147483647 - 1}},
  };
  IDirectDrawSurface2* source = MakeSurface(4, 3);
  SetPixels(source, Pattern(4, 3, 0));
  IDirectDrawSurface2* target = MakeSurface(kWidth, kHeight);
  ASSERT_EQ(FillColour(target, nullptr, 0x5A5A5A5A), DD_OK);
  const std::vector<uint32_t> before = Pixels(target);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RECT targetRect = c.target;
    RECT sourceRect = c.source;
    EXPECT_EQ(target->Blt(&targetRect, source, &sourceRect, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
    bool targetIsBad = !(c.target.left == fits.left && c.target.top == fits.top && c.target.right == fits.right &&
                         c.target.bottom == fits.bottom);
    if (targetIsBad) {
      EXPECT_EQ(FillColour(target, &targetRect, 0x77), DDERR_INVALIDRECT);
      DDSURFACEDESC desc{};
      desc.dwSize = sizeof desc;
      EXPECT_EQ(target->Lock(&targetRect, &desc, DDLOCK_WAIT, nullptr), DDERR_INVALIDRECT);
    } else {
      EXPECT_EQ(target->BltFast(0, 0, source, &sourceRect, DDBLTFAST_WAIT), DDERR_INVALIDRECT);
    }
    EXPECT_EQ(Pixels(target), before);
  }
}

TEST_P(BlitTable, BltFastRefusesAPlaceWhereTheSourceDoesNotFit) {
  IDirectDrawSurface2* source = MakeSurface(4, 3);
  IDirectDrawSurface2* target = MakeSurface(kWidth, kHeight);
  ASSERT_EQ(FillColour(target, nullptr, 0x42), DD_OK);
  const std::vector<uint32_t> before = Pixels(target);
  EXPECT_EQ(target->BltFast(kWidth - 3, 0, source, nullptr, DDBLTFAST_WAIT), DDERR_INVALIDRECT);
  EXPECT_EQ(target->BltFast(0, kHeight - 2, source, nullptr, DDBLTFAST_WAIT), DDERR_INVALIDRECT);
  // "-1" as an unsigned position is far beyond the surface.
  EXPECT_EQ(target->BltFast(0xFFFFFFFFu, 0, source, nullptr, DDBLTFAST_WAIT), DDERR_INVALIDRECT);
  EXPECT_EQ(Pixels(target), before);
  EXPECT_EQ(target->BltFast(kWidth - 4, kHeight - 3, source, nullptr, DDBLTFAST_WAIT), DD_OK);
}

TEST_P(BlitTable, CopyWithinOneSurfaceReadsTheSourceBeforeWriting) {
  IDirectDrawSurface2* surface = MakeSurface(8, 1);
  SetPixels(surface, {1, 2, 3, 4, 5, 6, 7, 8});
  RECT from{0, 0, 5, 1};
  RECT to{2, 0, 7, 1};
  ASSERT_EQ(surface->Blt(&to, surface, &from, DDBLT_WAIT, nullptr), DD_OK);
  EXPECT_EQ(Pixels(surface), (std::vector<uint32_t>{1, 2, 1, 2, 3, 4, 5, 8}));
}

}  // namespace
