// Regions as rectangle lists: combining, testing points and rectangles,
// building from RGNDATA and handing a region to a window.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "Recorder.h"

namespace {

struct CombineCase {
  const char* name;
  int mode;
  int complexity;
  std::vector<POINT> inside;
  std::vector<POINT> outside;
};

void PrintTo(const CombineCase& c, std::ostream* out) { *out << c.name; }

// a = (0,0)-(20,20), b = (10,10)-(30,30)
const CombineCase kCombineCases[] = {
    {"And", RGN_AND, SIMPLEREGION, {{10, 10}, {19, 19}}, {{5, 5}, {25, 25}, {20, 20}}},
    {"Or", RGN_OR, COMPLEXREGION, {{5, 5}, {25, 25}, {15, 15}}, {{25, 5}, {5, 25}, {30, 30}}},
    {"Xor", RGN_XOR, COMPLEXREGION, {{5, 5}, {25, 25}}, {{15, 15}, {25, 5}}},
    {"Diff", RGN_DIFF, COMPLEXREGION, {{5, 5}, {15, 5}, {5, 15}}, {{15, 15}, {25, 25}}},
    {"Copy", RGN_COPY, SIMPLEREGION, {{0, 0}, {19, 19}}, {{20, 20}, {25, 25}}},
};

class Combine : public testing::TestWithParam<CombineCase> {};

}  // namespace

TEST_P(Combine, GivesTheSetOperationAndItsComplexity) {
  const CombineCase& c = GetParam();
  HRGN a = CreateRectRgn(0, 0, 20, 20);
  HRGN b = CreateRectRgn(10, 10, 30, 30);
  HRGN out = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(CombineRgn(out, a, b, c.mode), c.complexity);
  for (POINT p : c.inside) EXPECT_TRUE(PtInRegion(out, p.x, p.y)) << p.x << "," << p.y;
  for (POINT p : c.outside) EXPECT_FALSE(PtInRegion(out, p.x, p.y)) << p.x << "," << p.y;
  for (HRGN r : {a, b, out}) EXPECT_TRUE(DeleteObject(r));
}

INSTANTIATE_TEST_SUITE_P(Modes, Combine, testing::ValuesIn(kCombineCases),
                         [](const testing::TestParamInfo<CombineCase>& info) { return info.param.name; });

TEST(Regions, UnionsOfTouchingRectanglesMergeAndRoundTripThroughRegionData) {
  HRGN region = CreateRectRgn(0, 0, 10, 10);
  HRGN piece = CreateRectRgn(10, 0, 20, 10);
  CombineRgn(region, region, piece, RGN_OR);
  SetRectRgn(piece, 0, 10, 20, 15);
  EXPECT_EQ(CombineRgn(region, region, piece, RGN_OR), SIMPLEREGION);
  RECT box;
  GetRgnBox(region, &box);
  EXPECT_EQ(box.right, 20);
  EXPECT_EQ(box.bottom, 15);

  SetRectRgn(piece, 30, 0, 40, 5);
  CombineRgn(region, region, piece, RGN_OR);
  DWORD size = GetRegionData(region, 0, nullptr);
  std::vector<char> bytes(size);
  auto* data = reinterpret_cast<RGNDATA*>(bytes.data());
  ASSERT_EQ(GetRegionData(region, size, data), size);
  EXPECT_EQ(data->rdh.nCount, 3u);
  HRGN copy = ExtCreateRegion(nullptr, size, data);
  ASSERT_TRUE(copy);
  EXPECT_TRUE(EqualRgn(copy, region));
  RECT probe{35, 3, 50, 50};
  EXPECT_TRUE(RectInRegion(copy, &probe));
  OffsetRgn(copy, 100, 0);
  EXPECT_FALSE(RectInRegion(copy, &probe));
}

namespace {

// A region from a list of rectangles.
HRGN RegionOf(const std::vector<RECT>& rects) {
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  for (const RECT& r : rects) {
    HRGN piece = CreateRectRgn(r.left, r.top, r.right, r.bottom);
    CombineRgn(region, region, piece, RGN_OR);
    DeleteObject(piece);
  }
  return region;
}

constexpr int kSide = 40;

// Which pixels of 0..kSide a region holds.
std::vector<bool> PixelsOf(HRGN region) {
  std::vector<bool> pixels(kSide * kSide);
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x) pixels[y * kSide + x] = PtInRegion(region, x, y);
  return pixels;
}

// The set operation worked out pixel by pixel, built as one-pixel rows: the
// region every combination must equal, in pixels and in form.
HRGN PixelwiseCombine(const std::vector<bool>& a, const std::vector<bool>& b, int mode) {
  std::vector<RECT> rows;
  for (int y = 0; y < kSide; ++y) {
    int start = -1;
    for (int x = 0; x <= kSide; ++x) {
      bool in = false;
      if (x < kSide) {
        bool inA = a[y * kSide + x], inB = b[y * kSide + x];
        in = mode == RGN_AND ? inA && inB : mode == RGN_OR ? inA || inB : mode == RGN_XOR ? inA != inB : inA && !inB;
      }
      if (in && start < 0) start = x;
      if (!in && start >= 0) {
        rows.push_back(RECT{start, y, x, y + 1});
        start = -1;
      }
    }
  }
  return RegionOf(rows);
}

}  // namespace

TEST(Regions, EveryCombinationOfShapesAndClipsEqualsThePixelwiseResult) {
  // Clips by a covering rectangle, by the region itself, by nothing and by a
  // single rectangle take shortcuts; each must equal the general answer.
  const std::vector<std::pair<const char*, std::vector<RECT>>> shapes = {
      {"empty", {}},
      {"rectangle", {{5, 5, 25, 20}}},
      {"L", {{5, 5, 15, 30}, {5, 20, 30, 30}}},
      {"ring", {{5, 5, 30, 10}, {5, 10, 10, 25}, {25, 10, 30, 25}, {5, 25, 30, 30}}},
      {"covering", {{0, 0, 40, 40}}},
      {"inner", {{12, 12, 20, 18}}},
      {"disjoint", {{32, 32, 38, 38}}},
  };
  std::vector<HRGN> regions;
  std::vector<std::vector<bool>> pixels;
  for (const auto& shape : shapes) {
    regions.push_back(RegionOf(shape.second));
    pixels.push_back(PixelsOf(regions.back()));
  }
  HRGN out = CreateRectRgn(0, 0, 0, 0);
  for (size_t a = 0; a < shapes.size(); ++a) {
    for (size_t b = 0; b < shapes.size(); ++b) {
      for (int mode : {RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF}) {
        // a == b: a region combined with itself.
        ASSERT_NE(CombineRgn(out, regions[a], regions[b], mode), ERROR);
        HRGN expected = PixelwiseCombine(pixels[a], pixels[b], mode);
        EXPECT_TRUE(EqualRgn(out, expected)) << shapes[a].first << " " << mode << " " << shapes[b].first;
        DeleteObject(expected);
      }
    }
  }
  for (HRGN r : regions) DeleteObject(r);
  DeleteObject(out);
}

TEST(Regions, ExtCreateRegionRejectsDataThatDoesNotHoldItsRectangles) {
  std::vector<char> bytes(sizeof(RGNDATAHEADER) + 2 * sizeof(RECT));
  auto* data = reinterpret_cast<RGNDATA*>(bytes.data());
  data->rdh = RGNDATAHEADER{sizeof(RGNDATAHEADER), RDH_RECTANGLES, 2, 0, {}};
  EXPECT_TRUE(ExtCreateRegion(nullptr, static_cast<DWORD>(bytes.size()), data));
  data->rdh.nCount = 3;  // claims more than it carries
  EXPECT_FALSE(ExtCreateRegion(nullptr, static_cast<DWORD>(bytes.size()), data));
  data->rdh.nCount = 0xFFFFFFFF;
  EXPECT_FALSE(ExtCreateRegion(nullptr, static_cast<DWORD>(bytes.size()), data));
  data->rdh.nCount = 1;
  data->rdh.iType = 2;
  EXPECT_FALSE(ExtCreateRegion(nullptr, static_cast<DWORD>(bytes.size()), data));
  EXPECT_FALSE(ExtCreateRegion(nullptr, 8, data));
}

TEST(Regions, AWindowTakesOverTheRegionItIsGiven) {
  usertest::RegisterRecordingClass("Recorder");
  HWND window = usertest::MakeWindow("Recorder", WS_POPUP | WS_VISIBLE, {0, 0, 100, 100});
  HRGN shape = CreateRectRgn(0, 0, 50, 50);
  ASSERT_TRUE(SetWindowRgn(window, shape, TRUE));
  EXPECT_FALSE(DeleteObject(shape));  // the handle went with the region
  HRGN copy = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(window, copy), SIMPLEREGION);
  EXPECT_TRUE(PtInRegion(copy, 49, 49));
  EXPECT_EQ(WindowFromPoint(POINT{75, 75}), nullptr);
  EXPECT_EQ(WindowFromPoint(POINT{25, 25}), window);
  SetWindowRgn(window, nullptr, FALSE);
  EXPECT_EQ(WindowFromPoint(POINT{75, 75}), window);
}
