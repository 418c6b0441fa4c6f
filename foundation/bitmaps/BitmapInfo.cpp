#include "foundation/bitmaps/BitmapInfo.h"

#include "foundation/bitmaps/LittleEndian.h"

BITMAPFILEHEADER ReadBitmapFileHeader(const BYTE* bytes) {
  BITMAPFILEHEADER header;
  header.bfType = ReadLE16(bytes);
  header.bfSize = ReadLE32(bytes + 2);
  header.bfReserved1 = ReadLE16(bytes + 6);
  header.bfReserved2 = ReadLE16(bytes + 8);
  header.bfOffBits = ReadLE32(bytes + 10);
  return header;
}

void WriteBitmapFileHeader(BYTE* bytes, const BITMAPFILEHEADER& header) {
  WriteLE16(bytes, header.bfType);
  WriteLE32(bytes + 2, header.bfSize);
  WriteLE16(bytes + 6, header.bfReserved1);
  WriteLE16(bytes + 8, header.bfReserved2);
  WriteLE32(bytes + 10, header.bfOffBits);
}

BITMAPINFOHEADER ReadBitmapInfoHeader(const BYTE* bytes) {
  BITMAPINFOHEADER header;
  header.biSize = ReadLE32(bytes);
  header.biWidth = static_cast<LONG>(ReadLE32(bytes + 4));
  header.biHeight = static_cast<LONG>(ReadLE32(bytes + 8));
  header.biPlanes = ReadLE16(bytes + 12);
  header.biBitCount = ReadLE16(bytes + 14);
  header.biCompression = ReadLE32(bytes + 16);
  header.biSizeImage = ReadLE32(bytes + 20);
  header.biXPelsPerMeter = static_cast<LONG>(ReadLE32(bytes + 24));
  header.biYPelsPerMeter = static_cast<LONG>(ReadLE32(bytes + 28));
  header.biClrUsed = ReadLE32(bytes + 32);
  header.biClrImportant = ReadLE32(bytes + 36);
  return header;
}

void WriteBitmapInfoHeader(BYTE* bytes, const BITMAPINFOHEADER& header) {
  WriteLE32(bytes, header.biSize);
  WriteLE32(bytes + 4, static_cast<DWORD>(header.biWidth));
  WriteLE32(bytes + 8, static_cast<DWORD>(header.biHeight));
  WriteLE16(bytes + 12, header.biPlanes);
  WriteLE16(bytes + 14, header.biBitCount);
  WriteLE32(bytes + 16, header.biCompression);
  WriteLE32(bytes + 20, header.biSizeImage);
  WriteLE32(bytes + 24, static_cast<DWORD>(header.biXPelsPerMeter));
  WriteLE32(bytes + 28, static_cast<DWORD>(header.biYPelsPerMeter));
  WriteLE32(bytes + 32, header.biClrUsed);
  WriteLE32(bytes + 36, header.biClrImportant);
}

DWORD ReadRGBQuadAsEntry(const BYTE* quad) {
  return quad[2] | static_cast<DWORD>(quad[1]) << 8 | static_cast<DWORD>(quad[0]) << 16;
}

void WriteEntryAsRGBQuad(BYTE* quad, DWORD entry) {
  quad[0] = static_cast<BYTE>(entry >> 16);
  quad[1] = static_cast<BYTE>(entry >> 8);
  quad[2] = static_cast<BYTE>(entry);
  quad[3] = 0;
}
