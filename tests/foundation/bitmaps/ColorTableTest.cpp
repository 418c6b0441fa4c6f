#include <gtest/gtest.h>

#include <vector>

#include "foundation/bitmaps/ColorPalette.h"
#include "foundation/bitmaps/ColorTable.h"
#include "foundation/containers/AssignDWordArray.h"
#include "foundation/kernel/Error.h"

namespace {

TEST(ColorTable, SetupLaysOutCellsByChannelAndValueBits) {
  struct {
    DWORD r, g, b, v;
    DWORD cellCount, cellShift, valueMask;
    std::array<DWORD, 4> indexMasks;
  } cases[] = {
      {5, 6, 5, 8, 65536, 0, 0xFF, {0x1F, 0x7E0, 0xF800, 0}},
      {4, 4, 4, 16, 4096, 1, 0xFFFF, {0xF, 0xF0, 0xF00, 0}},
      {3, 3, 2, 32, 256, 2, 0xFFFFFFFF, {0x7, 0x38, 0xC0, 0}},
      {2, 2, 2, 9, 64, 1, 0x1FF, {0x3, 0xC, 0x30, 0}},
      {1, 1, 1, 17, 8, 2, 0x1FFFF, {0x1, 0x2, 0x4, 0}},
  };
  for (const auto& c : cases) {
    CColorTable table;
    table.Setup(c.r, c.g, c.b, c.v);
    EXPECT_EQ(table.GetCellCount(), c.cellCount) << c.r << c.g << c.b << "/" << c.v;
    EXPECT_EQ(table.GetCellShift(), c.cellShift) << c.v;
    EXPECT_EQ(table.GetValueMask(), c.valueMask) << c.v;
    EXPECT_EQ(table.GetIndexMasks(), c.indexMasks) << c.r << c.g << c.b;
    EXPECT_EQ(table.FindFirstUsed(), 0u) << "a new table has no used cell";
  }
}

TEST(ColorTable, ColourIndexTakesTheTopBitsRedLowest) {
  CColorTable table;
  table.Setup(5, 6, 5, 8);
  EXPECT_EQ(table.GetIndexOfColor(0x00FFFFFF), 65535u);
  EXPECT_EQ(table.GetIndexOfColor(0x000000FF), 0x1Fu);   // red
  EXPECT_EQ(table.GetIndexOfColor(0x0000FF00), 0x7E0u);  // green
  EXPECT_EQ(table.GetIndexOfColor(0x00FF0000), 0xF800u);
  EXPECT_EQ(table.GetIndexOfColor(0x00070307), 0u) << "bits below the top ones do not count";
  table.Setup(4, 4, 4, 16);
  EXPECT_EQ(table.GetCellOffset(0x00FFFFFF), 4095u * 2);
}

TEST(ColorTable, CellWritesLeaveTheNeighbouringBitsAlone) {
  CColorTable table;
  table.Setup(2, 2, 2, 4);  // 4-bit values in 1-byte cells: the upper half of each byte is not the cell's
  BYTE* cells = table.GetCells();
  cells[3] = 0xA0;
  table.SetCell(3, 0x1F);
  EXPECT_EQ(cells[3], 0xAF);
  EXPECT_EQ(table.GetCell(3), 0xFu);
  table.SetCell(3, 0);
  table.CountCell(3);
  table.CountCell(3);
  EXPECT_EQ(cells[3], 0xA2);
  EXPECT_EQ(cells[4], 0) << "the next cell is untouched";

  table.Setup(1, 1, 1, 16);
  table.SetCell(7 * 2, 0xFFFE);
  table.CountCell(7 * 2);
  table.CountCell(7 * 2);
  EXPECT_EQ(table.GetCell(7 * 2), 0xFFFFu) << "counting saturates at the value mask";
  table.SetCell(8 * 2, 1);  // past the last cell
  EXPECT_EQ(table.GetCell(8 * 2), 0u);
}

TEST(ColorTable, WalkingUsedCellsGivesIndexAndValueOfEach) {
  CColorTable table;
  table.Setup(4, 4, 4, 16);
  table.SetCell(0 * 2, 7);
  table.SetCell(9 * 2, 300);
  table.SetCell(4095 * 2, 1);
  std::vector<std::pair<DWORD, DWORD>> cells;
  bool more = true;
  for (DWORD position = table.FindFirstUsed(); position != 0;) {
    ASSERT_TRUE(more);
    DWORD index = 0, value = 0;
    more = table.GetNextUsed(position, index, value);
    cells.emplace_back(index, value);
  }
  EXPECT_FALSE(more);
  EXPECT_EQ(cells, (std::vector<std::pair<DWORD, DWORD>>{{0, 7}, {9, 300}, {4095, 1}}));
}

TEST(ColorTable, RefusesSetupsItCannotHold) {
  CColorTable table;
  table.Setup(5, 6, 5, 8);
  table.SetCell(10, 3);
  for (auto bits : {std::array<DWORD, 4>{9, 0, 0, 8}, {5, 6, 5, 0}, {5, 6, 5, 33}}) {
    try {
      table.Setup(bits[0], bits[1], bits[2], bits[3]);
      ADD_FAILURE() << "set up " << bits[0] << " " << bits[3];
    } catch (CError* error) {
      DisposeError(error);
    }
  }
  EXPECT_EQ(table.GetCell(10), 3u) << "a refused set-up keeps the old cells";
}

TEST(ColorPalette, SetEntriesReplacesEntriesAndCount) {
  CColorPalette* palette = new CColorPalette;
  EXPECT_EQ(palette->GetCount(), 0u);
  const DWORD entries[] = {0x0000FF, 0x00FF00, 0xFF0000};
  palette->SetEntries(3, entries);
  ASSERT_EQ(palette->GetCount(), 3u);
  EXPECT_EQ(palette->GetEntries()[2], 0xFF0000u);
  palette->SetEntries(2, nullptr);
  ASSERT_EQ(palette->GetCount(), 2u);
  EXPECT_EQ(palette->GetEntries()[0], 0u) << "entries to be filled start black";
  palette->SetEntries(0, nullptr);
  EXPECT_EQ(palette->GetEntries(), nullptr);
  EXPECT_TRUE(palette->IsKindOf(&CDynamicObject::ClassRecord));
  EXPECT_EQ(palette->Release(), 0);
}

TEST(AssignDWordArray, FreesTheOldArrayAndCopiesTheSource) {
  DWORD* items = nullptr;
  DWORD count = 0;
  const DWORD modes[] = {640, 800, 1024};
  DWORD* fresh = AssignDWordArray(items, count, 3, modes);
  EXPECT_EQ(fresh, items);
  EXPECT_EQ(count, 3u);
  EXPECT_EQ(items[1], 800u);
  EXPECT_EQ(AssignDWordArray(items, count, 0, nullptr), nullptr);
  EXPECT_EQ(items, nullptr);
  EXPECT_EQ(count, 0u);
  AssignDWordArray(items, count, 2, nullptr);
  FreeDWordArray(items, count);
  EXPECT_EQ(count, 0u);
}

}  // namespace
