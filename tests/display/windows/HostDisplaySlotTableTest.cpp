// The display slots a plug-in draws with: the primary surface and writers
// lent under the display lock, the skin's colours, the display's pixel
// values and palette, blits through the primary blitter and regions.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "ControlFixture.h"
#include "display/paint/PrimaryBlitter.h"
#include "display/skinrender/DDSkinColorSet.h"
#include "display/skinrender/DDSkinFontSet.h"
#include "display/state/DisplayLock.h"

using namespace controltest;

namespace {

class HostDisplaySlotTable : public ControlTest {
 protected:
  const HostApiTable& table = *GetHostApiTable();

  // A thread error no slot sets, to see whether one was touched.
  void MarkThreadError() { table.HOST_SetError(HOST_ERROR_MISC, 99, "untouched"); }
  bool IsThreadErrorMarked() { return table.HOST_GetErrorCode() == 99; }
};

TEST_F(HostDisplaySlotTable, ThePrimarySurfaceIsLentUnderTheLockAndRefusedWithoutOne) {
  IDirectDrawSurface2* surface = nullptr;
  ASSERT_TRUE(table.HOST_GetPrimarySurface(&surface));
  EXPECT_EQ(surface, ui().GetPrimarySurface());
  EXPECT_EQ(CDisplayLock::GetDepth(), 1) << "kept until the release";
  DDSURFACEDESC description{};
  table.HOST_GetPrimarySurfaceDesc(&description);
  EXPECT_EQ(description.dwWidth, 1024u);
  EXPECT_EQ(description.ddpfPixelFormat.dwRGBBitCount, 32u);
  table.HOST_ReleasePrimarySurface();
  EXPECT_EQ(CDisplayLock::GetDepth(), 0);
  EXPECT_TRUE(table.HOST_IsDisplayAvailable());

  ui().ExitDisplay();
  surface = reinterpret_cast<IDirectDrawSurface2*>(1);
  EXPECT_FALSE(table.HOST_GetPrimarySurface(&surface));
  EXPECT_EQ(surface, nullptr);
  EXPECT_EQ(CDisplayLock::GetDepth(), 0) << "released on failure";
  EXPECT_EQ(table.HOST_GetErrorType(), static_cast<DWORD>(HOST_ERROR_GENERAL));
  EXPECT_STREQ(table.HOST_GetErrorText(), "No primary surface (did another app switch to full-screen mode?)");
  table.HOST_ReleasePrimarySurface();
  EXPECT_EQ(CDisplayLock::GetDepth(), 0) << "a release without the lock changes nothing";
  EXPECT_FALSE(table.HOST_IsDisplayAvailable());
  EXPECT_EQ(table.HOST_GetColorKey(), 0u);
}

TEST_F(HostDisplaySlotTable, AnUnusableDisplayModeIsReportedAsDirectDrawsUnsupportedMode) {
  ui().GetDDSkin().Release();
  UseDisplay(640, 480, 4);
  EXPECT_FALSE(table.HOST_IsDisplayAvailable());
  IDirectDrawSurface2* surface = nullptr;
  EXPECT_FALSE(table.HOST_GetPrimarySurface(&surface));
  EXPECT_EQ(table.HOST_GetErrorType(), static_cast<DWORD>(HOST_ERROR_DIRECTDRAW));
  EXPECT_EQ(table.HOST_GetDirectDrawErrorCode(), static_cast<DWORD>(DDERR_UNSUPPORTEDMODE));
  HOST_WRITER writer = nullptr;
  EXPECT_FALSE(table.HOST_GetWriter(0, &writer));
  EXPECT_EQ(table.HOST_GetDirectDrawErrorCode(), static_cast<DWORD>(DDERR_UNSUPPORTEDMODE));
  EXPECT_EQ(CDisplayLock::GetDepth(), 0);
}

TEST_F(HostDisplaySlotTable, TheLockSlotsNestAndAnUnmatchedUnlockIsHarmless) {
  table.HOST_LockDisplay();
  ASSERT_NE(table.HOST_LockDirectDraw(), nullptr);
  EXPECT_EQ(CDisplayLock::GetDepth(), 2);
  table.HOST_UnlockDisplay();
  table.HOST_UnlockDirectDraw();
  table.HOST_UnlockDisplay();
  EXPECT_EQ(CDisplayLock::GetDepth(), 0);
}

TEST_F(HostDisplaySlotTable, SkinColoursComeFromTheSkinAndAnIndexOutsideAnswersZeroQuietly) {
  const CDDSkinColorSet& colors = ui().GetDDSkin().GetColorSet();
  ASSERT_TRUE(colors.IsCreated());
  struct Row {
    const char* name;
    DWORD answer;
    DWORD expected;
  };
  const Row rows[] = {
      {"37 index 5", table.HOST_GetSkinColorEntry(5), colors.GetSourceColor(5)},
      {"38 index 5", table.HOST_GetSkinColor(5), colors.GetColor(5)},
      {"37 viewer index 31", table.HOST_GetSkinColorEntry(31), colors.GetSourceColor(31)},
      {"231 skin 0 index 7", table.HOST_GetSkinColorEntryOf(0, 7), colors.GetSourceColor(7)},
      {"232 skin 1 index 32", table.HOST_GetSkinColorOf(1, 32), colors.GetColor(32)},
  };
  for (const Row& row : rows) EXPECT_EQ(row.answer, row.expected) << row.name;
  EXPECT_NE(table.HOST_GetSkinColor(5), table.HOST_GetSkinColor(0)) << "the skin has more than one colour";

  MarkThreadError();
  const Row outside[] = {
      {"38 index 33", table.HOST_GetSkinColor(33), 0},
      {"37 index -1", table.HOST_GetSkinColorEntry(-1), 0},
      {"232 skin 2", table.HOST_GetSkinColorOf(2, 5), 0},
      {"231 index 33", table.HOST_GetSkinColorEntryOf(0, 33), 0},
  };
  for (const Row& row : outside) EXPECT_EQ(row.answer, row.expected) << row.name;
  EXPECT_TRUE(IsThreadErrorMarked());
  EXPECT_EQ(CDisplayLock::GetDepth(), 0);
}

TEST_F(HostDisplaySlotTable, WritersAreLentUnderTheLockAndMissingOnesAreRefused) {
  const CDDSkinFontSet& fonts = ui().GetDDSkin().GetFontSet();
  HOST_WRITER writer = nullptr;
  ASSERT_TRUE(table.HOST_GetWriter(1, &writer));
  EXPECT_EQ(reinterpret_cast<CDDWriter*>(writer), fonts.GetFont(1));
  EXPECT_EQ(CDisplayLock::GetDepth(), 1);
  EXPECT_GT(table.HOST_WriterGetHeight(writer), 0) << "usable while lent";
  table.HOST_ReleaseWriter(writer);
  EXPECT_EQ(CDisplayLock::GetDepth(), 0);

  ASSERT_TRUE(table.HOST_GetWriterOf(1, 0, &writer));
  EXPECT_EQ(reinterpret_cast<CDDWriter*>(writer), fonts.GetFont(0)) << "the viewer draws with the main skin";
  table.HOST_ReleaseWriterOf(0, 0);
  EXPECT_EQ(CDisplayLock::GetDepth(), 0);

  struct Refusal {
    const char* name;
    BOOL answer;
    DWORD type;
  };
  const Refusal refusals[] = {
      {"52 index 7", table.HOST_GetWriter(7, &writer), HOST_ERROR_MISC},
      {"233 skin 2", table.HOST_GetWriterOf(2, 0, &writer), HOST_ERROR_MISC},
      {"52 index 6: no such font", table.HOST_GetWriter(6, &writer), HOST_ERROR_GENERAL},
  };
  for (const Refusal& refusal : refusals) {
    SCOPED_TRACE(refusal.name);
    EXPECT_FALSE(refusal.answer);
    EXPECT_EQ(CDisplayLock::GetDepth(), 0);
  }
  EXPECT_EQ(writer, nullptr);
  EXPECT_STREQ(table.HOST_GetErrorText(), "Writer not available (did another app switch to full-screen mode?)");
}

TEST_F(HostDisplaySlotTable, PixelValuesAndThePaletteFollowTheDisplayMode) {
  const CDisplayState& display = ui().GetDisplayState();
  EXPECT_EQ(table.HOST_GetColorKey(), display.GetColorKey());
  EXPECT_EQ(table.HOST_GetBlackPixel(), 0u);
  EXPECT_EQ(table.HOST_ColorToPixel(0x0000FF, TRUE), 0xFF0000u) << "red as a 32-bit pixel, nothing to map";
  std::array<DWORD, 4> entries{};
  int32_t copied = -1;
  EXPECT_TRUE(table.HOST_GetPaletteEntries(entries.data(), 0, 4, &copied));
  EXPECT_EQ(copied, 0) << "no palette";
  std::vector<BYTE> conversion(65536, 0xAA);
  EXPECT_TRUE(table.HOST_GetColorConversionTable(conversion.data()));
  EXPECT_EQ(std::count(conversion.begin(), conversion.end(), 0), 65536);

  UseDisplayWithSkin(800, 600, 8);
  const CDisplayState& palettized = ui().GetDisplayState();
  const auto& palette = palettized.GetPaletteEntries();
  EXPECT_EQ(table.HOST_GetBlackPixel(), palettized.GetSubstituteColor());
  EXPECT_EQ(table.HOST_GetColorKey(), 10u);
  const DWORD index = palettized.ConvertColor(0x0000FF);
  EXPECT_EQ(table.HOST_ColorToPixel(0x0000FF, FALSE), index);
  EXPECT_EQ(table.HOST_ColorToPixel(0x0000FF, TRUE),
            static_cast<DWORD>(ui().GetPrimaryBlitter().GetPaletteTranslationTable()[index]));

  struct Row {
    int32_t first;
    int32_t count;
    int32_t copied;
  };
  for (const Row& row : {Row{0, 4, 4}, Row{254, 4, 2}, Row{256, 4, 0}, Row{300, 1, 0}}) {
    SCOPED_TRACE(row.first);
    entries.fill(0x12345678);
    ASSERT_TRUE(table.HOST_GetPaletteEntries(entries.data(), row.first, row.count, &copied));
    EXPECT_EQ(copied, row.copied);
    for (int32_t i = 0; i < row.copied; ++i) EXPECT_EQ(entries[i], palette[row.first + i]);
    for (int32_t i = row.copied; i < 4; ++i) EXPECT_EQ(entries[i], 0x12345678u) << "nothing beyond";
  }
  EXPECT_FALSE(table.HOST_GetPaletteEntries(entries.data(), -1, 4, &copied));
  EXPECT_FALSE(table.HOST_GetPaletteEntries(nullptr, 0, 4, &copied));
  EXPECT_EQ(table.HOST_GetMiscErrorCode(), static_cast<DWORD>(HOST_MISC_INVALID_PARAM));

  ASSERT_TRUE(table.HOST_GetColorConversionTable(conversion.data()));
  const CColorTable* colors = palettized.GetColorTable();
  ASSERT_NE(colors, nullptr);
  EXPECT_EQ(std::memcmp(conversion.data(), colors->GetCells(), conversion.size()), 0);
  EXPECT_FALSE(table.HOST_GetColorConversionTable(nullptr));
  EXPECT_EQ(CDisplayLock::GetDepth(), 0);
}

TEST_F(HostDisplaySlotTable, RectangleAndDeviceContextBlitsCopyThroughTheBlitter) {
  IDirectDrawSurface2* source = nullptr;
  IDirectDrawSurface2* target = nullptr;
  ASSERT_EQ(ui().GetDisplayState().CreateOffscreenSurface(10, 10, &source), DD_OK);
  ASSERT_EQ(ui().GetDisplayState().CreateOffscreenSurface(40, 40, &target), DD_OK);
  ASSERT_EQ(Fill(source, RECT{0, 0, 10, 10}, 0x00FF00), DD_OK);
  ASSERT_EQ(Fill(target, RECT{0, 0, 40, 40}, 0), DD_OK);
  RECT part{0, 0, 3, 2};
  EXPECT_EQ(table.HOST_PrimaryBlitRect(target, 5, 6, source, &part), DD_OK);
  EXPECT_EQ(table.HOST_PrimaryBlitRect(target, 5, 6, source, nullptr), DDERR_INVALIDPARAMS);
  HDC dc = nullptr;
  ASSERT_EQ(target->GetDC(&dc), DD_OK);
  EXPECT_EQ(table.HOST_PrimaryBlitDC(dc, 20, 20, source, &part, SRCCOPY), DD_OK);
  EXPECT_EQ(GetPixel(dc, 5, 6), RGB(0, 255, 0));
  EXPECT_EQ(GetPixel(dc, 7, 7), RGB(0, 255, 0));
  EXPECT_EQ(GetPixel(dc, 8, 7), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(dc, 22, 21), RGB(0, 255, 0));
  EXPECT_EQ(GetPixel(dc, 22, 22), RGB(0, 0, 0));
  target->ReleaseDC(dc);
  target->Release();
  source->Release();
  EXPECT_EQ(CDisplayLock::GetDepth(), 0);
}

TEST_F(HostDisplaySlotTable, ARegionTakesTheMasksShapeAndLeavesTheBytesToTheCaller) {
  // An L: the left column and the bottom row of 3 x 3.
  const BYTE mask[9] = {1, 0, 0, 1, 0, 0, 1, 1, 1};
  HRGN region = nullptr;
  ASSERT_TRUE(table.HOST_CreateRegionFromMask(mask, 3, 3, &region));
  ASSERT_NE(region, nullptr);
  EXPECT_TRUE(PtInRegion(region, 0, 0));
  EXPECT_FALSE(PtInRegion(region, 1, 0));
  EXPECT_TRUE(PtInRegion(region, 2, 2));
  DeleteObject(region);
  EXPECT_EQ(mask[8], 1) << "the caller's bytes stay";
  EXPECT_FALSE(table.HOST_CreateRegionFromMask(nullptr, 3, 3, &region));
  EXPECT_EQ(region, nullptr);
  EXPECT_FALSE(table.HOST_CreateRegionFromMask(mask, 0, 3, &region));
}

}  // namespace
