// The host API's display slots as the controls use them: the skin writers
// measured and drawn through the table, the display lock held across
// calls, palette indices and blits through the primary blitter.
#include <gtest/gtest.h>

#include "ControlFixture.h"
#include "display/paint/PrimaryBlitter.h"
#include "display/skinrender/DDWriter.h"
#include "display/state/DisplayLock.h"

using namespace controltest;

namespace {

class HostDisplaySlots : public ControlTest {
 protected:
  const HostApiTable& table = *GetHostApiTable();
};

}  // namespace

TEST_F(HostDisplaySlots, WriterSlotsMeasureAndDrawAsTheWriter) {
  HOST_WRITER font = Font(0);
  const auto* writer = reinterpret_cast<const CDDWriter*>(font);
  EXPECT_EQ(table.HOST_WriterGetTextWidth(font, "Volume"), writer->GetTextWidth("Volume"));
  EXPECT_EQ(table.HOST_WriterGetCharWidth(font, -1), writer->GetCharWidth(255)) << "-1 measures character 255";
  EXPECT_EQ(table.HOST_WriterGetHeight(font), writer->GetHeight());

  IDirectDrawSurface2* surface = nullptr;
  ASSERT_EQ(ui().GetDisplayState().CreateOffscreenSurface(100, 30, &surface), DD_OK);
  ASSERT_EQ(Fill(surface, RECT{0, 0, 100, 30}, kBackground), DD_OK);
  EXPECT_TRUE(table.HOST_WriterDrawText(font, surface, 2, 2, "Volume"));
  HDC dc = nullptr;
  ASSERT_EQ(surface->GetDC(&dc), DD_OK);
  int written = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 100; ++x) written += GetPixel(dc, x, y) != RGB(0x40, 0x30, 0x20);
  surface->ReleaseDC(dc);
  EXPECT_GT(written, 0);
  surface->Release();

  EXPECT_FALSE(table.HOST_WriterDrawText(nullptr, surface, 0, 0, "x"));
  EXPECT_EQ(table.HOST_GetMiscErrorCode(), static_cast<DWORD>(HOST_MISC_INVALID_PARAM));
  EXPECT_EQ(table.HOST_WriterGetTextWidth(nullptr, "x"), 0);
}

TEST_F(HostDisplaySlots, LockingDirectDrawHoldsTheDisplayLockUntilTheUnlock) {
  ASSERT_EQ(CDisplayLock::GetDepth(), 0);
  EXPECT_EQ(table.HOST_LockDirectDraw(), ui().GetDisplayState().GetDirectDraw());
  EXPECT_EQ(CDisplayLock::GetDepth(), 1);
  table.HOST_UnlockDirectDraw();
  EXPECT_EQ(CDisplayLock::GetDepth(), 0);
  table.HOST_UnlockDirectDraw();
  EXPECT_EQ(CDisplayLock::GetDepth(), 0) << "an unlock without a lock changes nothing";
}

TEST_F(HostDisplaySlots, PaletteIndicesAreTranslatedOnlyOnPalettizedDisplays) {
  EXPECT_EQ(table.HOST_MapPaletteIndex(37), 37u) << "32 bits";
  UseDisplayWithSkin(1024, 768, 8);
  const CPrimaryBlitter& blitter = ui().GetPrimaryBlitter();
  ASSERT_TRUE(blitter.IsConversionActive());
  for (DWORD index : {0u, 10u, 200u})
    EXPECT_EQ(table.HOST_MapPaletteIndex(index), static_cast<DWORD>(blitter.GetPaletteTranslationTable()[index]));
  EXPECT_EQ(table.HOST_MapPaletteIndex(300), 300u) << "outside the palette";
}

TEST_F(HostDisplaySlots, PrimaryBlitCopiesTheSourceRectangleToThePoint) {
  IDirectDrawSurface2* source = nullptr;
  IDirectDrawSurface2* target = nullptr;
  ASSERT_EQ(ui().GetDisplayState().CreateOffscreenSurface(10, 10, &source), DD_OK);
  ASSERT_EQ(ui().GetDisplayState().CreateOffscreenSurface(40, 40, &target), DD_OK);
  ASSERT_EQ(Fill(source, RECT{0, 0, 10, 10}, 0x0000FF), DD_OK);
  ASSERT_EQ(Fill(target, RECT{0, 0, 40, 40}, 0), DD_OK);
  RECT part{0, 0, 4, 3};
  EXPECT_EQ(table.HOST_PrimaryBlit(target, 20, 30, source, &part, DDBLT_WAIT, nullptr), DD_OK);
  EXPECT_EQ(table.HOST_PrimaryBlit(target, 0, 0, source, nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDPARAMS);
  HDC dc = nullptr;
  ASSERT_EQ(target->GetDC(&dc), DD_OK);
  EXPECT_EQ(GetPixel(dc, 20, 30), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc, 23, 32), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc, 24, 32), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(dc, 19, 30), RGB(0, 0, 0));
  target->ReleaseDC(dc);
  target->Release();
  source->Release();
}
