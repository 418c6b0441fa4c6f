// Icons: the HICON table, icons from pixels or bitmaps, and drawing them.
#include <algorithm>
#include <atomic>
#include <cstring>

#include "DeviceContext.h"
#include "IconObject.h"
#include "platform/kernel/IdTable.h"
#include "twlwin/errors.h"
#include "twlwin/gdi.h"

namespace twl {
namespace {

constexpr int kMaxIconSide = 256;

struct IconEntry {
  std::shared_ptr<const IconImage> image;
  bool shared = false;
};

IdTable<IconEntry>& Icons() {
  static auto* table = new IdTable<IconEntry>;
  return *table;
}

std::atomic<IconExtractor> installedExtractor{nullptr};

uint32_t IdOf(HICON icon) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(icon)); }

bool ValidImage(const IconImage& image) {
  size_t pixels = static_cast<size_t>(image.width) * image.height;
  return image.width > 0 && image.height > 0 && image.width <= kMaxIconSide && image.height <= kMaxIconSide &&
         image.colour.size() == pixels && image.mask.size() == pixels;
}

uint32_t Argb(uint8_t a, uint8_t r, uint8_t g, uint8_t b) {
  return (uint32_t{a} << 24) | (uint32_t{r} << 16) | (uint32_t{g} << 8) | b;
}

COLORREF ColourOf(uint32_t argb) { return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF); }

}  // namespace

HICON CreateIconFromImage(IconImage image, bool shared) {
  if (!ValidImage(image)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto entry = std::make_shared<IconEntry>();
  entry->image = std::make_shared<const IconImage>(std::move(image));
  entry->shared = shared;
  uint32_t id = Icons().Insert(std::move(entry));
  if (id == 0) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return reinterpret_cast<HICON>(static_cast<uintptr_t>(id));
}

HICON CreateIconFromRgba(int width, int height, const uint8_t* rgba, DWORD hotspotX, DWORD hotspotY, bool isIcon,
                         bool shared) {
  if (!rgba || width <= 0 || height <= 0 || width > kMaxIconSide || height > kMaxIconSide) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  IconImage image;
  image.width = width;
  image.height = height;
  image.isIcon = isIcon;
  // An icon's hotspot is its centre; only cursors choose theirs.
  image.hotspotX = isIcon ? static_cast<DWORD>(width / 2) : hotspotX;
  image.hotspotY = isIcon ? static_cast<DWORD>(height / 2) : hotspotY;
  image.hasAlpha = true;
  size_t pixels = static_cast<size_t>(width) * height;
  image.colour.resize(pixels);
  image.mask.resize(pixels);
  for (size_t i = 0; i < pixels; ++i) {
    const uint8_t* p = rgba + i * 4;
    bool clear = p[3] == 0;
    // Fully clear pixels are black in the colour image, so that drawing by
    // the mask alone (AND, then XOR) leaves the destination as it was.
    image.colour[i] = clear ? 0 : Argb(p[3], p[0], p[1], p[2]);
    image.mask[i] = clear ? 1 : 0;
  }
  return CreateIconFromImage(std::move(image), shared);
}

std::shared_ptr<const IconImage> FindIconImage(HICON icon) {
  auto entry = Icons().Find(IdOf(icon));
  return entry ? entry->image : nullptr;
}

void SetIconExtractor(IconExtractor extractor) { installedExtractor.store(extractor); }

HICON ExtractIconFromFile(const char* file, int index) {
  IconExtractor extractor = installedExtractor.load();
  return extractor ? extractor(file, index) : nullptr;
}

IconImage ScaleIconImage(const IconImage& image, int width, int height) {
  if (width == image.width && height == image.height) return image;
  IconImage out = image;
  out.width = width;
  out.height = height;
  out.hotspotX = image.hotspotX * width / std::max(1, image.width);
  out.hotspotY = image.hotspotY * height / std::max(1, image.height);
  size_t pixels = static_cast<size_t>(width) * height;
  out.colour.assign(pixels, 0);
  out.mask.assign(pixels, 1);
  for (int y = 0; y < height; ++y) {
    int sy = y * image.height / height;
    for (int x = 0; x < width; ++x) {
      int sx = x * image.width / width;
      size_t from = static_cast<size_t>(sy) * image.width + sx;
      size_t to = static_cast<size_t>(y) * width + x;
      out.colour[to] = image.colour[from];
      out.mask[to] = image.mask[from];
    }
  }
  return out;
}

bool DrawIconImage(HDC handle, const IconImage& source, int x, int y, int width, int height, UINT flags) {
  auto dc = gdi::FindDc(handle);
  if (!dc) return false;
  if (!dc->surface) return true;
  if (width <= 0) width = source.width;
  if (height <= 0) height = source.height;
  if (width > 4 * kMaxIconSide || height > 4 * kMaxIconSide) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  IconImage image = ScaleIconImage(source, width, height);
  gdi::Bitmap& target = *dc->surface;
  RECT area = dc->ToDeviceClipped(RECT{x, y, x + width, y + height});
  POINT corner = dc->ToDevice(x, y);
  gdi::PixelAccess access(*dc, area);
  dc->ForEachSpan(area, [&](int py, int left, int right) {
    for (int px = left; px < right; ++px) {
      size_t at = static_cast<size_t>(py - corner.y) * width + (px - corner.x);
      uint32_t argb = image.colour[at];
      bool masked = image.mask[at] != 0;
      COLORREF colour = ColourOf(argb);
      COLORREF under = target.GetPixel(px, py);
      COLORREF result = under;
      if ((flags & DI_NORMAL) == DI_MASK) {
        result = masked ? under : RGB(0, 0, 0);
      } else if (image.hasAlpha && (flags & DI_IMAGE)) {
        int alpha = static_cast<int>(argb >> 24);
        if (masked && alpha == 0) {
          result = (under ^ colour) & 0x00FFFFFF;
        } else {
          auto mix = [alpha](int a, int b) { return (a * alpha + b * (255 - alpha) + 127) / 255; };
          result = RGB(mix(GetRValue(colour), GetRValue(under)), mix(GetGValue(colour), GetGValue(under)),
                       mix(GetBValue(colour), GetBValue(under)));
        }
      } else if ((flags & DI_NORMAL) == DI_IMAGE) {
        result = colour;
      } else {
        result = ((masked ? under : RGB(0, 0, 0)) ^ colour) & 0x00FFFFFF;
      }
      if (result != under) target.SetPixel(px, py, result);
    }
  });
  return true;
}

}  // namespace twl

using namespace twl;

namespace {

// Reads an icon's pixels back from the bitmaps of an ICONINFO.
bool ImageFromBitmaps(const ICONINFO& info, IconImage* image) {
  auto mask = gdi::FindObjectAs<gdi::Bitmap>(info.hbmMask);
  auto colour = info.hbmColor ? gdi::FindObjectAs<gdi::Bitmap>(info.hbmColor) : nullptr;
  if (!mask || (info.hbmColor && !colour)) return false;
  int width = mask->Width();
  // Without a colour bitmap the mask is twice as high: AND above, XOR below.
  int height = colour ? mask->Height() : mask->Height() / 2;
  if (colour && (colour->Width() != width || colour->Height() != height)) return false;
  if (width <= 0 || height <= 0 || width > kMaxIconSide || height > kMaxIconSide) return false;
  image->width = width;
  image->height = height;
  image->isIcon = info.fIcon != FALSE;
  image->hotspotX = info.fIcon ? static_cast<DWORD>(width / 2) : info.xHotspot;
  image->hotspotY = info.fIcon ? static_cast<DWORD>(height / 2) : info.yHotspot;
  size_t pixels = static_cast<size_t>(width) * height;
  image->colour.resize(pixels);
  image->mask.resize(pixels);
  bool alphaBits = colour && colour->IsDib() && colour->BitsPerPixel() == 32;
  bool anyAlpha = false;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      size_t at = static_cast<size_t>(y) * width + x;
      image->mask[at] = mask->GetPixel(x, y) != RGB(0, 0, 0);
      COLORREF c = colour ? colour->GetPixel(x, y) : mask->GetPixel(x, y + height);
      uint8_t alpha = 0;
      if (alphaBits) {
        int row = colour->IsTopDown() ? y : height - 1 - y;
        alpha = colour->Bits()[static_cast<size_t>(row) * colour->Stride() + x * 4 + 3];
        anyAlpha = anyAlpha || alpha != 0;
      }
      image->colour[at] = Argb(alpha, GetRValue(c), GetGValue(c), GetBValue(c));
    }
  }
  image->hasAlpha = anyAlpha;
  if (!anyAlpha) {
    for (size_t i = 0; i < pixels; ++i) image->colour[i] |= image->mask[i] ? 0 : 0xFF000000u;
  }
  return true;
}

HBITMAP InsertBitmap(std::shared_ptr<gdi::Bitmap> bitmap) {
  return bitmap ? static_cast<HBITMAP>(gdi::InsertObject(std::move(bitmap))) : nullptr;
}

}  // namespace

TWLAPI HICON CreateIconIndirect(PICONINFO info) {
  IconImage image;
  if (!info || !ImageFromBitmaps(*info, &image)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return CreateIconFromImage(std::move(image), false);
}

TWLAPI BOOL GetIconInfo(HICON icon, PICONINFO info) {
  auto image = FindIconImage(icon);
  if (!image) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (!info) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  auto mask = gdi::Bitmap::CreateDdb(image->width, image->height, true);
  gdi::PixelFormat format;
  auto colour = gdi::Bitmap::CreateDib(image->width, image->height, true, format, {});
  if (!mask || !colour) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
  for (int y = 0; y < image->height; ++y) {
    for (int x = 0; x < image->width; ++x) {
      size_t at = static_cast<size_t>(y) * image->width + x;
      mask->SetPixel(x, y, image->mask[at] ? RGB(255, 255, 255) : RGB(0, 0, 0));
      uint32_t argb = image->colour[at];
      if (!image->hasAlpha) argb &= 0x00FFFFFF;
      std::memcpy(colour->Bits() + static_cast<size_t>(y) * colour->Stride() + x * 4, &argb, 4);
    }
  }
  info->fIcon = image->isIcon ? TRUE : FALSE;
  info->xHotspot = image->hotspotX;
  info->yHotspot = image->hotspotY;
  info->hbmMask = InsertBitmap(std::move(mask));
  info->hbmColor = InsertBitmap(std::move(colour));
  return TRUE;
}

TWLAPI HICON CopyIcon(HICON icon) {
  auto image = FindIconImage(icon);
  if (!image) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return CreateIconFromImage(*image, false);
}

TWLAPI BOOL DestroyIcon(HICON icon) {
  auto entry = Icons().Find(IdOf(icon));
  if (!entry) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (!entry->shared) Icons().Remove(IdOf(icon));
  return TRUE;
}

TWLAPI BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int width, int height, UINT step, HBRUSH flickerFree,
                       UINT flags) {
  auto image = FindIconImage(icon);
  if (!image) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if ((flags & DI_NORMAL) == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return DrawIconImage(dc, *image, x, y, width, height, flags) ? TRUE : FALSE;
}

TWLAPI BOOL DrawIcon(HDC dc, int x, int y, HICON icon) { return DrawIconEx(dc, x, y, icon, 0, 0, 0, nullptr, DI_NORMAL); }
