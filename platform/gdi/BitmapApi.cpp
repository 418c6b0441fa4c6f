// Creating bitmaps and reading them back: CreateBitmap, DIB sections,
// GetObject and GetDIBits.
#include <algorithm>
#include <cstring>

#include "DeviceContext.h"
#include "Font.h"
#include "Objects.h"
#include "twlwin/errors.h"
#include "twlwin/gdi.h"

using namespace twl::gdi;

namespace {

HBITMAP Insert(std::shared_ptr<Bitmap> bitmap) {
  if (!bitmap) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  HGDIOBJ handle = InsertObject(std::move(bitmap));
  if (!handle) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return static_cast<HBITMAP>(handle);
}

bool ReadFormat(const BITMAPINFO& info, PixelFormat* format, std::vector<COLORREF>* palette) {
  const BITMAPINFOHEADER& h = info.bmiHeader;
  static constexpr WORD kDepths[] = {1, 4, 8, 16, 24, 32};
  if (std::find(std::begin(kDepths), std::end(kDepths), h.biBitCount) == std::end(kDepths)) return false;
  format->bitsPerPixel = h.biBitCount;
  if (h.biCompression == BI_BITFIELDS) {
    if (h.biBitCount != 16 && h.biBitCount != 32) return false;
    DWORD masks[3];
    std::memcpy(masks, info.bmiColors, sizeof masks);
    if (!masks[0] || !masks[1] || !masks[2]) return false;
    format->redMask = masks[0];
    format->greenMask = masks[1];
    format->blueMask = masks[2];
    return true;
  }
  if (h.biCompression != BI_RGB) return false;
  if (h.biBitCount == 16) {
    format->redMask = 0x7C00;
    format->greenMask = 0x03E0;
    format->blueMask = 0x001F;
  }
  if (h.biBitCount <= 8) {
    DWORD entries = 1u << h.biBitCount;
    // The count comes from the caller's header: never read past a full table.
    if (h.biClrUsed != 0) entries = std::min(entries, h.biClrUsed);
    for (DWORD i = 0; i < entries; ++i) {
      const RGBQUAD& q = info.bmiColors[i];
      palette->push_back(RGB(q.rgbRed, q.rgbGreen, q.rgbBlue));
    }
  }
  return true;
}

int FillBitmapInfo(const Bitmap& bitmap, void* buffer, int size) {
  bool dib = bitmap.IsDib() && size >= static_cast<int>(sizeof(DIBSECTION));
  int needed = dib ? sizeof(DIBSECTION) : sizeof(BITMAP);
  if (!buffer) return needed;
  if (size < static_cast<int>(sizeof(BITMAP))) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  BITMAP bm{};
  bm.bmWidth = bitmap.Width();
  bm.bmHeight = bitmap.Height();
  bm.bmWidthBytes = bitmap.Stride();
  bm.bmPlanes = 1;
  bm.bmBitsPixel = static_cast<WORD>(bitmap.BitsPerPixel());
  bm.bmBits = bitmap.IsDib() ? const_cast<Bitmap&>(bitmap).Bits() : nullptr;
  if (!dib) {
    std::memcpy(buffer, &bm, sizeof bm);
    return needed;
  }
  DIBSECTION ds{};
  ds.dsBm = bm;
  ds.dsBmih.biSize = sizeof(BITMAPINFOHEADER);
  ds.dsBmih.biWidth = bitmap.Width();
  ds.dsBmih.biHeight = bitmap.IsTopDown() ? -bitmap.Height() : bitmap.Height();
  ds.dsBmih.biPlanes = 1;
  ds.dsBmih.biBitCount = static_cast<WORD>(bitmap.BitsPerPixel());
  bool fields = bitmap.BitsPerPixel() == 16 || bitmap.BitsPerPixel() == 32;
  ds.dsBmih.biCompression = fields ? BI_BITFIELDS : BI_RGB;
  ds.dsBmih.biSizeImage = static_cast<DWORD>(bitmap.ImageSize());
  ds.dsBmih.biClrUsed = static_cast<DWORD>(bitmap.Palette().size());
  if (fields) {
    ds.dsBitfields[0] = bitmap.Format().redMask;
    ds.dsBitfields[1] = bitmap.Format().greenMask;
    ds.dsBitfields[2] = bitmap.Format().blueMask;
  }
  std::memcpy(buffer, &ds, sizeof ds);
  return needed;
}

template <class T>
int CopyOut(const T& value, void* buffer, int size) {
  if (!buffer) return sizeof(T);
  if (size < static_cast<int>(sizeof(T))) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(buffer, &value, sizeof(T));
  return sizeof(T);
}

}  // namespace

TWLAPI HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
  if (planes != 1 || (bitsPerPixel != 1 && bitsPerPixel != 32 && bits)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto bitmap = Bitmap::CreateDdb(width, height, bitsPerPixel == 1);
  if (bitmap && bits) std::memcpy(bitmap->Bits(), bits, bitmap->ImageSize());
  return Insert(std::move(bitmap));
}

TWLAPI HBITMAP CreateCompatibleBitmap(HDC handle, int width, int height) {
  auto dc = FindDc(handle);
  if (!dc) return nullptr;
  if (width == 0 || height == 0) return Insert(Bitmap::CreateDdb(1, 1, true));
  bool monochrome = dc->isMemory && dc->surface && dc->surface->IsMonochrome();
  return Insert(Bitmap::CreateDdb(width, height, monochrome));
}

TWLAPI HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset) {
  if (bits) *bits = nullptr;
  if (!info || info->bmiHeader.biSize < sizeof(BITMAPINFOHEADER) || info->bmiHeader.biPlanes != 1 ||
      usage != DIB_RGB_COLORS || section || offset) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  PixelFormat format;
  std::vector<COLORREF> palette;
  if (!ReadFormat(*info, &format, &palette)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  LONG height = info->bmiHeader.biHeight;
  if (height == INT32_MIN) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto bitmap = Bitmap::CreateDib(info->bmiHeader.biWidth, height < 0 ? -height : height, height < 0, format,
                                  std::move(palette));
  void* memory = bitmap ? bitmap->Bits() : nullptr;
  HBITMAP handle = Insert(std::move(bitmap));
  if (handle && bits) *bits = memory;
  return handle;
}

TWLAPI int GetObjectA(HGDIOBJ object, int size, LPVOID buffer) {
  auto found = FindObject(object);
  if (!found) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  switch (found->Type()) {
    case OBJ_BITMAP:
      return FillBitmapInfo(static_cast<Bitmap&>(*found), buffer, size);
    case OBJ_BRUSH: {
      auto& brush = static_cast<Brush&>(*found);
      return CopyOut(LOGBRUSH{brush.hollow ? static_cast<UINT>(BS_NULL) : BS_SOLID, brush.colour, 0}, buffer, size);
    }
    case OBJ_PEN: {
      auto& pen = static_cast<Pen&>(*found);
      return CopyOut(LOGPEN{static_cast<UINT>(pen.style), POINT{pen.width, 0}, pen.colour}, buffer, size);
    }
    case OBJ_FONT:
      return CopyOut(static_cast<Font&>(*found).Log(), buffer, size);
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return 0;
  }
}

TWLAPI int GetDIBits(HDC dc, HBITMAP handle, UINT start, UINT lines, LPVOID bits, LPBITMAPINFO info, UINT usage) {
  auto bitmap = FindObjectAs<Bitmap>(handle);
  if (!bitmap || !FindDc(dc)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  if (!info || info->bmiHeader.biSize < sizeof(BITMAPINFOHEADER) || usage != DIB_RGB_COLORS) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  BITMAPINFOHEADER& h = info->bmiHeader;
  if (!bits) {
    if (h.biBitCount == 0) {
      h.biWidth = bitmap->Width();
      h.biHeight = bitmap->Height();
      h.biPlanes = 1;
      h.biBitCount = static_cast<WORD>(bitmap->BitsPerPixel());
      h.biCompression = BI_RGB;
    }
    int64_t stride = ((int64_t{h.biWidth} * h.biBitCount + 31) / 32) * 4;
    h.biSizeImage = static_cast<DWORD>(stride * std::abs(int64_t{h.biHeight}));
    return bitmap->Height();
  }
  // Rows are handed out as 24- or 32-bit pixels, the only formats readers ask for.
  if ((h.biBitCount != 24 && h.biBitCount != 32) || h.biCompression != BI_RGB || h.biWidth != bitmap->Width() ||
      h.biHeight == 0 || h.biHeight == INT32_MIN) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  bool topDown = h.biHeight < 0;
  int height = bitmap->Height();
  if (start >= static_cast<UINT>(height)) return 0;
  UINT count = std::min<UINT>(lines, static_cast<UINT>(height) - start);
  int bytesPerPixel = h.biBitCount / 8;
  int stride = ((bitmap->Width() * h.biBitCount + 31) / 32) * 4;
  auto* out = static_cast<uint8_t*>(bits);
  for (UINT line = 0; line < count; ++line) {
    // Scan line numbers count from the bottom of a bottom-up DIB.
    int scan = static_cast<int>(start + line);
    int y = topDown ? scan : height - 1 - scan;
    uint8_t* row = out + static_cast<size_t>(line) * stride;
    std::memset(row, 0, stride);
    for (int x = 0; x < bitmap->Width(); ++x) {
      COLORREF c = bitmap->GetPixel(x, y);
      row[x * bytesPerPixel] = GetBValue(c);
      row[x * bytesPerPixel + 1] = GetGValue(c);
      row[x * bytesPerPixel + 2] = GetRValue(c);
    }
  }
  return static_cast<int>(count);
}
