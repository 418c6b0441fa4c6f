#include <cstring>

#include "GdiFixture.h"

namespace {

using Objects = MemoryDcTest;

TEST_F(Objects, SelectObjectHandsBackThePreviousObjectOfThatKind) {
  HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(4, 5, 6));
  HGDIOBJ oldBrush = SelectObject(dc, brush);
  HGDIOBJ oldPen = SelectObject(dc, pen);
  EXPECT_EQ(oldBrush, GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(oldPen, GetStockObject(BLACK_PEN));
  EXPECT_EQ(SelectObject(dc, oldBrush), brush);
  EXPECT_EQ(SelectObject(dc, oldPen), pen);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), bitmap);
  EXPECT_TRUE(DeleteObject(brush));
  EXPECT_TRUE(DeleteObject(pen));
}

TEST_F(Objects, ABitmapLivesInOneDcAtATime) {
  HDC other = CreateCompatibleDC(dc);
  EXPECT_EQ(SelectObject(other, bitmap), nullptr);
  // Still selected: it cannot be deleted.
  EXPECT_FALSE(DeleteObject(bitmap));
  EXPECT_EQ(GetObjectType(bitmap), static_cast<DWORD>(OBJ_BITMAP));
  SelectObject(dc, oldBitmap);
  EXPECT_NE(SelectObject(other, bitmap), nullptr);
  DeleteDC(other);  // deleting the DC lets the bitmap go
  EXPECT_NE(SelectObject(dc, bitmap), nullptr);
}

TEST_F(Objects, ADeletedBrushKeepsPaintingUntilReplaced) {
  HBRUSH brush = CreateSolidBrush(RGB(9, 8, 7));
  SelectObject(dc, brush);
  EXPECT_TRUE(DeleteObject(brush));
  EXPECT_TRUE(PatBlt(dc, 0, 0, 1, 1, PATCOPY));
  EXPECT_EQ(At(0, 0), RGB(9, 8, 7));
  EXPECT_EQ(GetObjectType(brush), 0u);
}

TEST_F(Objects, BadHandlesFailCleanly) {
  HDC bogusDc = reinterpret_cast<HDC>(static_cast<uintptr_t>(0x7000));
  HGDIOBJ bogus = reinterpret_cast<HGDIOBJ>(static_cast<uintptr_t>(0x7004));
  SetLastError(0);
  EXPECT_EQ(SelectObject(bogusDc, GetStockObject(BLACK_BRUSH)), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(SelectObject(dc, bogus), nullptr);
  EXPECT_FALSE(DeleteObject(bogus));
  EXPECT_FALSE(DeleteObject(nullptr));
  EXPECT_FALSE(DeleteDC(bogusDc));
  RECT r{0, 0, 1, 1};
  EXPECT_EQ(FillRect(bogusDc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))), 0);
  EXPECT_EQ(FillRect(dc, &r, static_cast<HBRUSH>(bogus)), 0);
  EXPECT_FALSE(BitBlt(dc, 0, 0, 1, 1, bogusDc, 0, 0, SRCCOPY));
  // A DC is not a drawing object: it cannot be selected or deleted as one.
  EXPECT_EQ(SelectObject(dc, dc), nullptr);
  EXPECT_FALSE(DeleteObject(dc));
  // Stock objects survive DeleteObject.
  EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(GetObjectType(GetStockObject(BLACK_BRUSH)), static_cast<DWORD>(OBJ_BRUSH));
}

TEST_F(Objects, DibSectionBitsAreThePixels) {
  DIBSECTION ds{};
  ASSERT_EQ(GetObjectA(bitmap, sizeof ds, &ds), static_cast<int>(sizeof ds));
  EXPECT_EQ(ds.dsBm.bmBits, bits);
  EXPECT_EQ(ds.dsBm.bmWidth, kWidth);
  EXPECT_EQ(ds.dsBm.bmWidthBytes, kWidth * 4);
  EXPECT_EQ(ds.dsBmih.biHeight, -kHeight);
  // Top-down: the first row in memory is y = 0; pixels are B, G, R, x.
  auto* bytes = static_cast<uint8_t*>(bits);
  bytes[0] = 0x30;
  bytes[1] = 0x20;
  bytes[2] = 0x10;
  EXPECT_EQ(At(0, 0), RGB(0x10, 0x20, 0x30));
}

TEST(Bitmaps, BottomUpDibKeepsTheBottomRowFirst) {
  void* bits = nullptr;
  HBITMAP bitmap = MemoryDcTest::MakeDib(3, 2, &bits, 24, false);
  ASSERT_NE(bitmap, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, bitmap);
  SetPixel(dc, 0, 1, RGB(0xAA, 0xBB, 0xCC));
  auto* bytes = static_cast<uint8_t*>(bits);
  EXPECT_EQ(bytes[0], 0xCC);  // row y = 1 is stored first
  EXPECT_EQ(bytes[2], 0xAA);
  DeleteDC(dc);
  DeleteObject(bitmap);
}

TEST(Bitmaps, EightBitDibDrawsWithTheNearestPaletteColour) {
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colours[2];
  } info{};
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  info.header.biWidth = 4;
  info.header.biHeight = 4;
  info.header.biPlanes = 1;
  info.header.biBitCount = 8;
  info.header.biClrUsed = 2;
  info.colours[0] = RGBQUAD{0, 0, 0, 0};
  info.colours[1] = RGBQUAD{0, 0, 200, 0};  // red 200
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(bitmap, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, bitmap);
  EXPECT_EQ(SetPixel(dc, 1, 1, RGB(250, 10, 10)), RGB(200, 0, 0));
  EXPECT_EQ(GetPixel(dc, 1, 1), RGB(200, 0, 0));
  DeleteDC(dc);
  DeleteObject(bitmap);
}

TEST(Bitmaps, HostileHeadersAreRefused) {
  struct Case {
    const char* name;
    LONG width;
    LONG height;
    WORD bits;
    DWORD compression;
  };
  const Case cases[] = {
      {"zero width", 0, 10, 32, BI_RGB},
      {"huge", 100000, 100000, 32, BI_RGB},
      {"most negative height", 10, INT32_MIN, 32, BI_RGB},
      {"odd depth", 10, 10, 7, BI_RGB},
      {"compressed", 10, 10, 8, BI_RLE8},
      {"bit fields on 24 bits", 10, 10, 24, BI_BITFIELDS},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = c.width;
    info.bmiHeader.biHeight = c.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = c.bits;
    info.bmiHeader.biCompression = c.compression;
    void* bits = reinterpret_cast<void*>(1);
    EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    EXPECT_EQ(bits, nullptr);
  }
}

TEST(Bitmaps, GetDIBitsReportsTheSizeAndCopiesRows) {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP colour = MemoryDcTest::MakeDib(3, 2, nullptr);
  SelectObject(dc, colour);
  SetPixel(dc, 2, 0, RGB(1, 2, 3));
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  ASSERT_NE(GetDIBits(dc, colour, 0, 0, nullptr, &info, DIB_RGB_COLORS), 0);
  EXPECT_EQ(info.bmiHeader.biWidth, 3);
  EXPECT_EQ(info.bmiHeader.biHeight, 2);
  info.bmiHeader.biHeight = -2;  // ask for top-down rows
  info.bmiHeader.biBitCount = 32;
  uint32_t rows[6] = {};
  ASSERT_EQ(GetDIBits(dc, colour, 0, 2, rows, &info, DIB_RGB_COLORS), 2);
  EXPECT_EQ(rows[2] & 0xFFFFFF, 0x010203u);
  DeleteDC(dc);
  DeleteObject(colour);
}

}  // namespace
