#include "SolidIcons.h"

#include <gtest/gtest.h>

namespace twltest {
namespace {

HBITMAP TopDownBitmap(int size) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = size;
  info.bmiHeader.biHeight = -size;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, nullptr, nullptr, 0);
}

}  // namespace

HICON SolidIcon(COLORREF colour, int size) {
  HBITMAP bitmap = TopDownBitmap(size);
  HBITMAP mask = CreateBitmap(size, size, 1, 1, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  HBRUSH brush = CreateSolidBrush(colour);
  RECT all{0, 0, size, size};
  FillRect(dc, &all, brush);
  SelectObject(dc, old);
  DeleteObject(brush);
  DeleteDC(dc);
  ICONINFO iconInfo{TRUE, 0, 0, mask, bitmap};
  HICON icon = CreateIconIndirect(&iconInfo);
  DeleteObject(bitmap);
  DeleteObject(mask);
  EXPECT_NE(icon, nullptr);
  return icon;
}

COLORREF DrawnColour(HIMAGELIST list, int index, UINT style) {
  // Room for the largest icons the tests put in a list.
  HBITMAP bitmap = TopDownBitmap(32);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT all{0, 0, 32, 32};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  EXPECT_TRUE(ImageList_Draw(list, index, dc, 0, 0, style));
  COLORREF colour = GetPixel(dc, 8, 8);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return colour;
}

}  // namespace twltest
