// Palette generation: reducing the colours a colour table has counted to
// at most a wanted number.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <vector>

#include "foundation/bitmaps/ColorTable.h"
#include "foundation/kernel/Error.h"
#include "foundation/palettes/ColorBox.h"

namespace {

// A colour 0x00BBGGRR from 5-bit coordinates, as the cells of a 5-5-5
// table give them (the coordinate in the top bits of its byte).
DWORD Color555(DWORD red, DWORD green, DWORD blue) { return red << 3 | green << 11 | blue << 19; }

void Count(CColorTable& table, DWORD color, DWORD times) {
  for (DWORD i = 0; i < times; ++i) table.CountCell(table.GetCellOffset(color));
}

std::vector<DWORD> Reduce(const CColorTable& table, INT wanted) {
  CColorBox box;
  box.InitFromTable(table);
  box.Reduce(wanted);
  EXPECT_TRUE(box.IsReduced());
  return std::vector<DWORD>(box.GetEntries(), box.GetEntries() + box.GetCount());
}

TEST(ColorBox, FewerUsedCellsThanWantedGiveTheCellsColoursInCellOrder) {
  CColorTable table;
  table.Setup(5, 5, 5, 16);
  // Counted out of order; cell order is red lowest, then green, then blue.
  Count(table, Color555(3, 0, 1), 2);
  Count(table, Color555(31, 31, 31), 1);
  Count(table, Color555(1, 2, 0), 5);
  Count(table, Color555(0, 0, 0), 1);
  const std::vector<DWORD> expected = {Color555(0, 0, 0), Color555(1, 2, 0), Color555(3, 0, 1), Color555(31, 31, 31)};
  EXPECT_EQ(Reduce(table, 4), expected);
  EXPECT_EQ(Reduce(table, 191), expected);
}

TEST(ColorBox, OneColourIsTheMeanOfTheUsedCellsWeightedByTheirCounts) {
  CColorTable table;
  table.Setup(5, 6, 5, 16);
  table.CountCell(table.GetCellOffset(0x00000000));
  Count(table, 0x00F8FCF8, 3);  // white's cell, 3 times
  Count(table, 0x00000010, 4);  // red 16
  // red (0 + 3 x 248 + 4 x 16) / 8 = 101, green and blue 3 x 252 / 8 = 94 and 3 x 248 / 8 = 93.
  EXPECT_EQ(Reduce(table, 1), std::vector<DWORD>{101u | 94u << 8 | 93u << 16});
}

TEST(ColorBox, AskingForNoColoursGivesNone) {
  CColorTable table;
  table.Setup(5, 5, 5, 16);
  Count(table, 0x00102030, 1);
  EXPECT_TRUE(Reduce(table, 0).empty());
  CColorTable empty;
  empty.Setup(5, 5, 5, 16);
  EXPECT_TRUE(Reduce(empty, 0).empty());
  EXPECT_TRUE(Reduce(empty, 10).empty());
}

TEST(ColorBox, TheResultNeverHasMoreColoursThanAskedAndEachLiesInTheUsedRange) {
  std::mt19937 random(3);
  for (int round = 0; round < 24; ++round) {
    CColorTable table;
    table.Setup(5, 6, 5, 16);
    const int cells = 1 + static_cast<int>(random() % 3000);
    std::set<DWORD> used;
    for (int i = 0; i < cells; ++i) {
      // Clustered colours, as pictures have them.
      const DWORD base = round % 2 ? 0x00404040 : 0;
      const DWORD color = base + (random() % 0x60) + ((random() % 0x60) << 8) + ((random() % 0x60) << 16);
      Count(table, color, 1 + random() % 5);
      used.insert(table.GetIndexOfColor(color));
    }
    for (const INT wanted : {2, 3, 7, 8, 27, 64, 100, 191, 256}) {
      const std::vector<DWORD> colors = Reduce(table, wanted);
      EXPECT_LE(static_cast<INT>(colors.size()), wanted) << cells << " cells, " << wanted << " wanted";
      if (used.size() <= static_cast<size_t>(wanted)) {
        EXPECT_EQ(colors.size(), used.size()) << cells << " cells, " << wanted << " wanted";
      }
      for (DWORD color : colors) EXPECT_EQ(color >> 24, 0u);
    }
  }
}

// A box with fewer coordinates in a channel than slices (here a table with
// 1 or 0 bits of red): cut toward zero, the first slices would all take
// coordinate 0, a cell would land in several sub-boxes, and their runs
// would reach past the entries.
TEST(ColorBox, AChannelNarrowerThanItsSlicesPutsEachCellInOneSubBox) {
  for (const DWORD redBits : {1u, 0u}) {
    CColorTable table;
    table.Setup(redBits, 7, 8, 16);
    std::mt19937 random(redBits);
    for (int i = 0; i < 4000; ++i) Count(table, random() & 0xFFFFFF, 1 + random() % 3);
    for (const INT wanted : {8, 27, 64, 191}) {
      const std::vector<DWORD> colors = Reduce(table, wanted);
      EXPECT_EQ(static_cast<INT>(colors.size()), wanted) << redBits << " red bits";
      EXPECT_EQ(std::set<DWORD>(colors.begin(), colors.end()).size(), colors.size())
          << redBits << " red bits, " << wanted << ": no colour twice";
    }
  }
}

// 191 colours over a full 32 x 32 x 32 histogram: 5 slices per channel,
// then a sixth for red (budget 66 -> 41) and for green (41 -> 11): 6 x 6 x 5
// = 180 boxes. Red and green are cut at 0-4, 5-9, 10-15, 16-20, 21-25,
// 26-31, blue at 0-5, 6-11, 12-18, 19-24, 25-31. The 11 colours left go to
// the most crowded boxes: the eight of 6 x 6 x 7 cells, then the first
// three of 6 x 6 x 6 cells; each of those yields two colours, its widest
// channel (blue, else red) cut in two. Every other box yields its mean.
TEST(ColorBox, A191ColourReductionOfAFullHistogramFollowsTheBoxLayout) {
  CColorTable table;
  table.Setup(5, 5, 5, 16);
  for (DWORD index = 0; index < 32768; ++index) table.CountCell(index << table.GetCellShift());

  struct Range {
    DWORD low, high;
  };
  const Range redGreen[6] = {{0, 4}, {5, 9}, {10, 15}, {16, 20}, {21, 25}, {26, 31}};
  const Range blue[5] = {{0, 5}, {6, 11}, {12, 18}, {19, 24}, {25, 31}};
  auto mean = [](Range range) { return (range.low + range.high) * 8 / 2; };  // of the colours 8 x coordinate
  auto box = [&](Range r, Range g, Range b) { return mean(r) | mean(g) << 8 | mean(b) << 16; };
  auto halves = [](Range range) {
    const DWORD split = range.low + (range.high - range.low + 1) / 2;
    return std::pair<Range, Range>{{range.low, split - 1}, {split, range.high}};
  };

  int extraForSix = 3;
  std::vector<DWORD> expected;
  for (const Range& r : redGreen) {
    for (const Range& g : redGreen) {
      for (const Range& b : blue) {
        const DWORD cells = (r.high - r.low + 1) * (g.high - g.low + 1) * (b.high - b.low + 1);
        if (cells == 6 * 6 * 7) {
          const auto [first, second] = halves(b);
          expected.push_back(box(r, g, first));
          expected.push_back(box(r, g, second));
        } else if (cells == 6 * 6 * 6 && extraForSix > 0) {
          --extraForSix;
          const auto [first, second] = halves(r);
          expected.push_back(box(first, g, b));
          expected.push_back(box(second, g, b));
        } else {
          expected.push_back(box(r, g, b));
        }
      }
    }
  }
  ASSERT_EQ(expected.size(), 191u);
  EXPECT_EQ(Reduce(table, 191), expected);
}

TEST(ColorBox, TablesWithMoreThanSixteenBitsOfCellIndexAreRefused) {
  CColorTable table;
  table.Setup(6, 6, 6, 8);
  CColorBox box;
  try {
    box.InitFromTable(table);
    ADD_FAILURE() << "taken";
  } catch (CError* error) {
    DisposeError(error);
  }
  EXPECT_EQ(box.GetCount(), 0);
}

}  // namespace
