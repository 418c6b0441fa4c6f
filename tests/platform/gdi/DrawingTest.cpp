#include <cstring>

#include "GdiFixture.h"

namespace {

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kBlue = RGB(0, 0, 255);

using Drawing = MemoryDcTest;

TEST_F(Drawing, FillRectCoversLeftTopButNotRightBottom) {
  HBRUSH red = CreateSolidBrush(kRed);
  RECT r{2, 3, 6, 8};
  ASSERT_TRUE(FillRect(dc, &r, red));
  EXPECT_EQ(Count(kRed), 4 * 5);
  EXPECT_EQ(At(2, 3), kRed);
  EXPECT_EQ(At(5, 7), kRed);
  EXPECT_EQ(At(6, 7), kWhite);
  EXPECT_EQ(At(5, 8), kWhite);
  DeleteObject(red);
}

TEST_F(Drawing, DrawingOutsideTheBitmapIsClipped) {
  HBRUSH red = CreateSolidBrush(kRed);
  RECT huge{-1000000, -5, 1000000, 2};
  ASSERT_TRUE(FillRect(dc, &huge, red));
  EXPECT_EQ(Count(kRed), kWidth * 2);
  MoveToEx(dc, -2000000000, 10, nullptr);
  LineTo(dc, 2000000000, 10);  // refused or clipped, never a wild write
  EXPECT_EQ(SetPixel(dc, kWidth, 0, kRed), CLR_INVALID);
  EXPECT_EQ(GetPixel(dc, -1, 0), CLR_INVALID);
  DeleteObject(red);
}

TEST_F(Drawing, SystemColourBrushValuesPaint) {
  RECT r{0, 0, 1, 1};
  ASSERT_TRUE(FillRect(dc, &r, reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_HIGHLIGHT + 1))));
  EXPECT_EQ(At(0, 0), GetSysColor(COLOR_HIGHLIGHT));
}

TEST_F(Drawing, FrameRectDrawsOnlyTheBorder) {
  HBRUSH blue = CreateSolidBrush(kBlue);
  RECT r{1, 1, 6, 5};
  ASSERT_TRUE(FrameRect(dc, &r, blue));
  EXPECT_EQ(Count(kBlue), 2 * 5 + 2 * 2);
  EXPECT_EQ(At(2, 2), kWhite);
  EXPECT_EQ(At(5, 4), kBlue);
  DeleteObject(blue);
}

TEST_F(Drawing, LineToLeavesOutTheEndPoint) {
  HPEN pen = CreatePen(PS_SOLID, 1, kRed);
  HGDIOBJ old = SelectObject(dc, pen);
  MoveToEx(dc, 2, 2, nullptr);
  LineTo(dc, 10, 2);
  EXPECT_EQ(Count(kRed), 8);
  EXPECT_EQ(At(2, 2), kRed);
  EXPECT_EQ(At(10, 2), kWhite);
  // The position moved to the end, so the next line starts there.
  LineTo(dc, 10, 6);
  EXPECT_EQ(At(10, 2), kRed);
  EXPECT_EQ(At(10, 6), kWhite);
  SelectObject(dc, old);
  DeleteObject(pen);
}

TEST_F(Drawing, NotXorPenDrawnTwiceRestoresThePixels) {
  HBRUSH red = CreateSolidBrush(kRed);
  RECT half{0, 0, kWidth / 2, kHeight};
  FillRect(dc, &half, red);
  SetROP2(dc, R2_NOTXORPEN);
  for (int pass = 0; pass < 2; ++pass) {
    MoveToEx(dc, 0, 5, nullptr);
    LineTo(dc, kWidth, 5);
    if (pass == 0) {
      EXPECT_NE(At(3, 5), kRed);
    }
  }
  EXPECT_EQ(At(3, 5), kRed);
  EXPECT_EQ(At(kWidth - 3, 5), kWhite);
  DeleteObject(red);
}

struct RopCase {
  const char* name;
  DWORD rop;
  COLORREF source;
  COLORREF dest;
  COLORREF expected;
};

TEST_F(Drawing, BitBltRasterOperations) {
  const RopCase cases[] = {
      {"SRCCOPY", SRCCOPY, RGB(0x12, 0x34, 0x56), RGB(0xFF, 0x00, 0xFF), RGB(0x12, 0x34, 0x56)},
      {"SRCAND", SRCAND, RGB(0xF0, 0x0F, 0xFF), RGB(0x3C, 0x3C, 0x00), RGB(0x30, 0x0C, 0x00)},
      {"SRCPAINT", SRCPAINT, RGB(0xF0, 0x0F, 0x00), RGB(0x0C, 0x30, 0x01), RGB(0xFC, 0x3F, 0x01)},
      {"SRCINVERT", SRCINVERT, RGB(0xFF, 0x0F, 0x00), RGB(0x0F, 0x0F, 0x55), RGB(0xF0, 0x00, 0x55)},
      {"NOTSRCCOPY", NOTSRCCOPY, RGB(0xFF, 0x0F, 0x00), RGB(1, 2, 3), RGB(0x00, 0xF0, 0xFF)},
      {"DSTINVERT", DSTINVERT, RGB(9, 9, 9), RGB(0x0F, 0xF0, 0x00), RGB(0xF0, 0x0F, 0xFF)},
      {"BLACKNESS", BLACKNESS, RGB(9, 9, 9), RGB(7, 7, 7), RGB(0, 0, 0)},
      {"WHITENESS", WHITENESS, RGB(9, 9, 9), RGB(7, 7, 7), RGB(255, 255, 255)},
  };
  HDC source = CreateCompatibleDC(dc);
  HBITMAP sourceBitmap = MakeDib(4, 4, nullptr);
  HGDIOBJ old = SelectObject(source, sourceBitmap);
  for (const RopCase& c : cases) {
    SCOPED_TRACE(c.name);
    SetPixel(source, 1, 1, c.source);
    SetPixel(dc, 5, 5, c.dest);
    ASSERT_TRUE(BitBlt(dc, 5, 5, 1, 1, source, 1, 1, c.rop));
    EXPECT_EQ(At(5, 5), c.expected);
  }
  SelectObject(source, old);
  DeleteObject(sourceBitmap);
  DeleteDC(source);
}

TEST_F(Drawing, BitBltClipsToBothBitmaps) {
  HDC source = CreateCompatibleDC(dc);
  HBITMAP sourceBitmap = MakeDib(4, 4, nullptr);
  HGDIOBJ old = SelectObject(source, sourceBitmap);
  HBRUSH red = CreateSolidBrush(kRed);
  RECT all{0, 0, 4, 4};
  FillRect(source, &all, red);
  // 10 x 10 asked from a 4 x 4 source starting at (2, 2): only 2 x 2 exist.
  ASSERT_TRUE(BitBlt(dc, 0, 0, 10, 10, source, 2, 2, SRCCOPY));
  EXPECT_EQ(Count(kRed), 4);
  // Into the far corner of the destination and beyond it.
  ASSERT_TRUE(BitBlt(dc, kWidth - 1, kHeight - 1, 4, 4, source, 0, 0, SRCCOPY));
  EXPECT_EQ(At(kWidth - 1, kHeight - 1), kRed);
  EXPECT_EQ(Count(kRed), 5);
  // A source origin far away copies nothing.
  ASSERT_TRUE(BitBlt(dc, 20, 20, 4, 4, source, -100, -100, SRCCOPY));
  EXPECT_EQ(Count(kRed), 5);
  SelectObject(source, old);
  DeleteObject(sourceBitmap);
  DeleteObject(red);
  DeleteDC(source);
}

TEST_F(Drawing, BitBltWithinOneBitmapHandlesOverlap) {
  for (int x = 0; x < 8; ++x) SetPixel(dc, x, 0, RGB(x * 10, 0, 0));
  ASSERT_TRUE(BitBlt(dc, 2, 0, 8, 1, dc, 0, 0, SRCCOPY));
  for (int x = 0; x < 8; ++x) EXPECT_EQ(At(x + 2, 0), RGB(x * 10, 0, 0)) << x;
}

TEST_F(Drawing, MonochromeSourceTakesTheDestinationColours) {
  HDC monoDc = CreateCompatibleDC(dc);
  HBITMAP mono = CreateCompatibleBitmap(monoDc, 2, 1);  // a fresh memory DC is monochrome
  BITMAP info{};
  ASSERT_EQ(GetObjectA(mono, sizeof info, &info), static_cast<int>(sizeof info));
  EXPECT_EQ(info.bmBitsPixel, 1);
  HGDIOBJ old = SelectObject(monoDc, mono);
  SetPixel(monoDc, 0, 0, RGB(0, 0, 0));
  SetPixel(monoDc, 1, 0, RGB(255, 255, 255));
  SetTextColor(dc, kRed);
  SetBkColor(dc, kBlue);
  ASSERT_TRUE(BitBlt(dc, 0, 0, 2, 1, monoDc, 0, 0, SRCCOPY));
  EXPECT_EQ(At(0, 0), kRed);
  EXPECT_EQ(At(1, 0), kBlue);
  // The other way: the source's background colour becomes white.
  SetBkColor(dc, kRed);
  ASSERT_TRUE(BitBlt(monoDc, 0, 0, 2, 1, dc, 0, 0, SRCCOPY));
  EXPECT_EQ(GetPixel(monoDc, 0, 0), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(monoDc, 1, 0), RGB(0, 0, 0));
  SelectObject(monoDc, old);
  DeleteObject(mono);
  DeleteDC(monoDc);
}

TEST_F(Drawing, StretchBltScalesAndMirrors) {
  HDC source = CreateCompatibleDC(dc);
  HBITMAP sourceBitmap = MakeDib(2, 1, nullptr);
  HGDIOBJ old = SelectObject(source, sourceBitmap);
  SetPixel(source, 0, 0, kRed);
  SetPixel(source, 1, 0, kBlue);
  ASSERT_TRUE(StretchBlt(dc, 0, 0, 4, 2, source, 0, 0, 2, 1, SRCCOPY));
  EXPECT_EQ(At(1, 1), kRed);
  EXPECT_EQ(At(2, 0), kBlue);
  ASSERT_TRUE(StretchBlt(dc, 0, 5, 2, 1, source, 2, 0, -2, 1, SRCCOPY));
  EXPECT_EQ(At(0, 5), kBlue);
  EXPECT_EQ(At(1, 5), kRed);
  SelectObject(source, old);
  DeleteObject(sourceBitmap);
  DeleteDC(source);
}

}  // namespace
