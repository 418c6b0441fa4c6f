// Reading back what LoadIconA, LoadCursorA and LoadImageA made, through
// the drawing side's own calls (GetIconInfo, GetObjectA, GetDIBits).
#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <vector>

struct Picture {
  LONG width = 0;
  LONG height = 0;
  WORD bitCount = 0;
  bool topDown = false;
  POINT hotspot{-1, -1};
  std::vector<DWORD> pixels;  // 0x00RRGGBB, top row first
  std::vector<bool> clear;    // icons: where the mask lets the background through

  DWORD At(int x, int y) const { return pixels.at(static_cast<size_t>(y) * width + x); }
  bool ClearAt(int x, int y) const { return clear.at(static_cast<size_t>(y) * width + x); }
};

inline std::vector<DWORD> ReadRows(HBITMAP bitmap, LONG width, LONG height) {
  HDC dc = CreateCompatibleDC(nullptr);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<DWORD> rows(static_cast<size_t>(width) * height);
  EXPECT_EQ(GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), rows.data(), &info, DIB_RGB_COLORS), height);
  DeleteDC(dc);
  for (DWORD& pixel : rows) pixel &= 0xFFFFFF;
  return rows;
}

inline Picture BitmapPicture(HANDLE handle) {
  Picture picture;
  auto bitmap = static_cast<HBITMAP>(handle);
  DIBSECTION section{};
  EXPECT_EQ(GetObjectA(bitmap, sizeof section, &section), static_cast<int>(sizeof section));
  picture.width = section.dsBm.bmWidth;
  picture.height = section.dsBm.bmHeight;
  picture.bitCount = section.dsBm.bmBitsPixel;
  picture.topDown = section.dsBmih.biHeight < 0;
  picture.pixels = ReadRows(bitmap, picture.width, picture.height);
  return picture;
}

inline Picture IconPicture(HICON icon) {
  Picture picture;
  ICONINFO info{};
  EXPECT_TRUE(GetIconInfo(icon, &info));
  if (!info.hbmColor) return picture;
  picture = BitmapPicture(info.hbmColor);
  picture.hotspot = POINT{static_cast<LONG>(info.xHotspot), static_cast<LONG>(info.yHotspot)};
  for (DWORD mask : ReadRows(info.hbmMask, picture.width, picture.height)) picture.clear.push_back(mask != 0);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return picture;
}
