// Helpers of the bitmap tests: formats, palettes and rows of pixel values
// packed as the bitmaps hold them.
#pragma once

#include <string>
#include <vector>

#include "foundation/bitmaps/ColorTable.h"
#include "foundation/bitmaps/PixelFormat.h"

namespace bitmaptest {

CPixelFormat Rgb(DWORD bits, DWORD red, DWORD green, DWORD blue, DWORD alpha = 0);
CPixelFormat Rgb565();
CPixelFormat Rgb555();
CPixelFormat Rgb24();
CPixelFormat Rgb32();
// A palettized format whose palette holds the entries (0x00BBGGRR).
CPixelFormat Indexed(DWORD bits, const std::vector<DWORD>& entries);

// One row of values at the given bit width: little-endian bytes from 8
// bits up, sub-byte values from the most significant bits down; the last
// byte's unused bits are zero.
std::vector<BYTE> PackRow(DWORD bits, const std::vector<DWORD>& values);
std::vector<DWORD> UnpackRow(DWORD bits, const BYTE* row, DWORD width);

// A 5-6-5 inverse colour map: every cell holds the index of the palette
// entry nearest to the cell's colour.
void FillInverseTable(CColorTable& table, const std::vector<DWORD>& entries);

std::string Hex(const std::vector<DWORD>& values);

}  // namespace bitmaptest
