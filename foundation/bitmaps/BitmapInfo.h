// The stored forms of the Windows bitmap headers: BMP files and bitmap-
// information blocks hold them as little-endian byte layouts, read and
// written here field by field.
#pragma once

#include <cstddef>

#include <windows.h>

inline constexpr size_t kBitmapFileHeaderSize = 14;
inline constexpr size_t kBitmapInfoHeaderSize = 40;
inline constexpr size_t kRGBQuadSize = 4;
inline constexpr WORD kBitmapFileType = 0x4D42;  // "BM"

BITMAPFILEHEADER ReadBitmapFileHeader(const BYTE* bytes);
void WriteBitmapFileHeader(BYTE* bytes, const BITMAPFILEHEADER& header);

BITMAPINFOHEADER ReadBitmapInfoHeader(const BYTE* bytes);
void WriteBitmapInfoHeader(BYTE* bytes, const BITMAPINFOHEADER& header);

// A stored RGBQUAD (blue, green, red, reserved) and a palette entry 0x00BBGGRR.
DWORD ReadRGBQuadAsEntry(const BYTE* quad);
void WriteEntryAsRGBQuad(BYTE* quad, DWORD entry);
