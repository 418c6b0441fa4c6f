// The header of a BMP file. In files it is a 14-byte little-endian layout
// (no padding after bfType), which the code reads and writes field by
// field, never by copying the struct. The information header, colour quads
// and BI_* values are GDI's (gdi.h).
#pragma once

#include "types.h"

typedef struct tagBITMAPFILEHEADER {
  WORD bfType;  // "BM"
  DWORD bfSize;
  WORD bfReserved1;
  WORD bfReserved2;
  DWORD bfOffBits;  // offset of the pixels from the start of the file
} BITMAPFILEHEADER, *PBITMAPFILEHEADER, *LPBITMAPFILEHEADER;
