#include "DibSection.h"

#include <cstring>

#include "foundation/bitmaps/DIBitmap.h"

namespace twltool {

HBITMAP MakeDibSection(CDIBitmap& picture) {
  CPixelFormat rgb;
  rgb.SetMasks(32, 0xFF0000, 0x00FF00, 0x0000FF);
  picture.SetColorKeyFlag(false);
  picture.ChangeFormat(rgb, nullptr, 1, 0);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = static_cast<LONG>(picture.GetWidth());
  info.bmiHeader.biHeight = -static_cast<LONG>(picture.GetHeight());
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (section) std::memcpy(bits, picture.GetPixels(), picture.GetDataSize());
  return section;
}

}  // namespace twltool
