// Masks turned into rectangles and regions: the decomposition's exact
// output on small shapes, its properties on random masks, and region
// building in chunks and one rectangle at a time.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <twlwin/testing_gdi.h>

#include "display/masks/RegionCreator.h"
#include "foundation/appcore/StepTiming.h"
#include "skins/masks/Mask.h"

namespace {

std::unique_ptr<CMask> MakeMask(int width, int height, bool (*inside)(int x, int y)) {
  auto mask = std::make_unique<CMask>();
  mask->Create(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) mask->GetBytes()[y * width + x] = inside(x, y) ? 1 : 0;
  return mask;
}

std::vector<RECT> Decompose(const CMask& mask) {
  CRegionCreator creator;
  creator.Decompose(mask);
  return creator.GetRects();
}

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Describe(const std::vector<RECT>& rects) {
  std::string text;
  for (const RECT& r : rects)
    text += "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
            std::to_string(r.bottom) + ")";
  return text;
}

// Every inside pixel is covered exactly once, no outside pixel at all.
void ExpectExactDisjointCover(const CMask& mask, const std::vector<RECT>& rects) {
  std::vector<int> cover(static_cast<size_t>(mask.GetWidth()) * mask.GetHeight(), 0);
  for (const RECT& r : rects) {
    ASSERT_TRUE(r.left < r.right && r.top < r.bottom) << "empty rectangle " << Describe({r});
    ASSERT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= mask.GetWidth() && r.bottom <= mask.GetHeight());
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) ++cover[y * mask.GetWidth() + x];
  }
  for (int y = 0; y < mask.GetHeight(); ++y)
    for (int x = 0; x < mask.GetWidth(); ++x)
      ASSERT_EQ(cover[y * mask.GetWidth() + x], mask.IsInside(x, y) ? 1 : 0) << "pixel " << x << "," << y;
}

std::vector<RECT> RegionRects(HRGN region) {
  const DWORD size = GetRegionData(region, 0, nullptr);
  std::vector<BYTE> data(size);
  auto* header = reinterpret_cast<RGNDATA*>(data.data());
  EXPECT_EQ(GetRegionData(region, size, header), size);
  std::vector<RECT> rects(header->rdh.nCount);
  std::memcpy(rects.data(), header->Buffer, rects.size() * sizeof(RECT));
  return rects;
}

}  // namespace

TEST(RegionCreator, DecompositionOfSmallShapes) {
  struct Case {
    const char* name;
    int width, height;
    bool (*inside)(int x, int y);
    std::vector<RECT> expected;
  } cases[] = {
      {"a cut top-left corner gives the mixed columns' block, then the full run", 100, 50,
       [](int x, int y) { return !(x < 10 && y < 10); },
       {{0, 10, 10, 50}, {10, 0, 100, 50}}},
      {"two separate vertical bars give one rectangle each", 30, 20,
       [](int x, int) { return (x >= 3 && x < 8) || (x >= 20 && x < 25); },
       {{3, 0, 8, 20}, {20, 0, 25, 20}}},
      {"a solid mask is one rectangle", 7, 5, [](int, int) { return true; }, {{0, 0, 7, 5}}},
      {"an empty mask has none", 7, 5, [](int, int) { return false; }, {}},
      {"a ring splits into its side columns and the rows of its middle columns", 6, 6,
       [](int x, int y) { return x == 0 || x == 5 || y == 0 || y == 5; },
       {{0, 0, 1, 6}, {1, 0, 5, 1}, {1, 5, 5, 6}, {5, 0, 6, 6}}},
  };
  for (const Case& c : cases) {
    const auto mask = MakeMask(c.width, c.height, c.inside);
    const std::vector<RECT> rects = Decompose(*mask);
    ASSERT_EQ(rects.size(), c.expected.size()) << c.name << ": " << Describe(rects);
    for (size_t i = 0; i < rects.size(); ++i) EXPECT_TRUE(SameRect(rects[i], c.expected[i])) << c.name << ": " << Describe(rects);
  }
}

TEST(RegionCreator, RandomMasksAreCoveredExactlyByDisjointSortedRectangles) {
  std::mt19937 random(12345);
  for (int round = 0; round < 60; ++round) {
    const int width = 1 + static_cast<int>(random() % 40);
    const int height = 1 + static_cast<int>(random() % 40);
    const unsigned density = random() % 101;
    CMask mask;
    mask.Create(width, height);
    for (int i = 0; i < width * height; ++i) mask.GetBytes()[i] = (random() % 100) < density ? 1 + random() % 255 : 0;
    const std::vector<RECT> rects = Decompose(mask);
    ExpectExactDisjointCover(mask, rects);
    for (size_t i = 1; i < rects.size(); ++i) {
      const RECT& a = rects[i - 1];
      const RECT& b = rects[i];
      EXPECT_TRUE(a.left < b.left || (a.left == b.left && a.top < b.top)) << "not sorted: " << Describe({a, b});
    }
  }
}

TEST(CreateRegionFromMask, NoRegionForNoMaskAnEmptyOrASolidMask) {
  HRGN region = reinterpret_cast<HRGN>(1);
  EXPECT_TRUE(CreateRegionFromMask(&region, nullptr));
  EXPECT_EQ(region, nullptr);
  const auto solid = MakeMask(9, 4, [](int, int) { return true; });
  EXPECT_TRUE(CreateRegionFromMask(&region, solid.get()));
  EXPECT_EQ(region, nullptr);
  const auto empty = MakeMask(9, 4, [](int, int) { return false; });
  EXPECT_TRUE(CreateRegionFromMask(&region, empty.get()));
  EXPECT_EQ(region, nullptr);
}

TEST(CreateRegionFromMask, OneBlockInsideATransparentOutlineIsARegion) {
  const auto framed = MakeMask(9, 6, [](int x, int y) { return x > 0 && y > 0 && x < 8 && y < 5; });
  HRGN region = nullptr;
  ASSERT_TRUE(CreateRegionFromMask(&region, framed.get()));
  ASSERT_NE(region, nullptr) << "the outline must stay transparent";
  EXPECT_FALSE(PtInRegion(region, 0, 0));
  EXPECT_TRUE(PtInRegion(region, 1, 1));
  EXPECT_FALSE(PtInRegion(region, 8, 3));
  DeleteObject(region);
}

TEST(CreateRegionFromMask, RegionHoldsExactlyTheMaskPixels) {
  const auto mask = MakeMask(100, 50, [](int x, int y) { return !(x < 10 && y < 10); });
  HRGN region = nullptr;
  ASSERT_TRUE(CreateRegionFromMask(&region, mask.get()));
  ASSERT_NE(region, nullptr);
  for (int y = -1; y <= 50; ++y)
    for (int x = -1; x <= 100; ++x) {
      const bool inside = x >= 0 && y >= 0 && x < 100 && y < 50 && mask->IsInside(x, y);
      ASSERT_EQ(PtInRegion(region, x, y) != FALSE, inside) << x << "," << y;
    }
  DeleteObject(region);
}

// A checkerboard of 2 x 2 cells over 260 x 128 pixels: 130 strips of two
// identical columns, each cut into 32 rectangles, 4160 in all, more than
// one chunk holds.
TEST(CreateRegionFromMask, LargeMasksBuildInChunksAndOneByOneWhenRegionDataFails) {
  const auto mask = MakeMask(260, 128, [](int x, int y) { return (x / 2 + y / 2) % 2 == 0; });
  ASSERT_GT(Decompose(*mask).size(), CRegionCreator::kChunkSize);

  // Region data larger than a chunk fails, as it may on Windows.
  TwlTestLimitExtCreateRegion(CRegionCreator::kChunkSize);
  HRGN chunked = nullptr;
  ASSERT_TRUE(CreateRegionFromMask(&chunked, mask.get()));
  ASSERT_NE(chunked, nullptr);

  // Every region data block fails: one rectangle at a time.
  TwlTestLimitExtCreateRegion(0);
  HRGN oneByOne = nullptr;
  ASSERT_TRUE(CreateRegionFromMask(&oneByOne, mask.get()));
  ASSERT_NE(oneByOne, nullptr);
  TwlTestLimitExtCreateRegion(0xFFFFFFFF);

  EXPECT_TRUE(EqualRgn(chunked, oneByOne));
  ExpectExactDisjointCover(*mask, RegionRects(chunked));
  DeleteObject(chunked);
  DeleteObject(oneByOne);
}

namespace {

// A step timer that writes down what it was asked.
class RecordingTimer : public CStepTimer {
 public:
  void BeginTiming() override { calls.push_back("begin"); }
  void EndTiming(const char* label) override { calls.push_back(std::string("end ") + label); }
  std::vector<std::string> calls;
};

}  // namespace

TEST(CreateRegionFromMask, IsOneTimedStepOnEveryWayOutOnTheTimedThreadOnly) {
  RecordingTimer timer;
  SetStepTimer(&timer);
  const auto solid = MakeMask(9, 4, [](int, int) { return true; });
  const auto notched = MakeMask(9, 4, [](int x, int y) { return x > 2 || y > 1; });
  HRGN region = nullptr;
  EXPECT_TRUE(CreateRegionFromMask(&region, nullptr));
  EXPECT_TRUE(CreateRegionFromMask(&region, solid.get()));
  ASSERT_TRUE(CreateRegionFromMask(&region, notched.get()));
  ASSERT_NE(region, nullptr);
  DeleteObject(region);
  std::thread([&] {
    HRGN other = nullptr;
    EXPECT_TRUE(CreateRegionFromMask(&other, notched.get()));
    DeleteObject(other);
  }).join();
  SetStepTimer(nullptr);
  const std::vector<std::string> step = {"begin", "end create region from mask"};
  std::vector<std::string> expected;
  for (int i = 0; i < 3; ++i) expected.insert(expected.end(), step.begin(), step.end());
  EXPECT_EQ(timer.calls, expected) << "no mask, a solid mask and a region; the other thread untimed";
}
