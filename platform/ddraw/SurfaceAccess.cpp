// Direct access to a surface's pixels: Lock/Unlock, and GetDC/ReleaseDC,
// which lend the pixels to GDI as a DIB for the time in between.
#include <cstring>

#include "Rects.h"
#include "Surface.h"
#include "platform/display/PixelFormats.h"
#include "platform/gdi/Bitmap.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Palette.h"

namespace twl::ddraw {
namespace {

constexpr DWORD kLockFlags = DDLOCK_WAIT | DDLOCK_READONLY | DDLOCK_WRITEONLY | DDLOCK_NOSYSLOCK;

gdi::PixelFormat GdiFormat(const DDPIXELFORMAT& format) {
  gdi::PixelFormat made;
  made.bitsPerPixel = static_cast<int>(format.dwRGBBitCount);
  if (!display::IsPalettized(format)) {
    made.redMask = format.dwRBitMask;
    made.greenMask = format.dwGBitMask;
    made.blueMask = format.dwBBitMask;
  }
  return made;
}

void CopyRows(uint8_t* to, ptrdiff_t toPitch, const uint8_t* from, ptrdiff_t fromPitch, size_t rowBytes, int rows) {
  for (int y = 0; y < rows; ++y) std::memcpy(to + y * toPitch, from + y * fromPitch, rowBytes);
}

}  // namespace

HRESULT Surface::Lock(LPRECT rect, LPDDSURFACEDESC desc, DWORD flags, HANDLE) {
  if (!desc || desc->dwSize != sizeof(DDSURFACEDESC)) return DDERR_INVALIDPARAMS;
  if ((flags & ~kLockFlags) || ((flags & DDLOCK_READONLY) && (flags & DDLOCK_WRITEONLY))) return DDERR_INVALIDPARAMS;
  if (HRESULT result = Unavailable(); FAILED(result)) return result;
  const RECT area = rect ? *rect : Bounds();
  if (!IsProper(area) || !LiesWithin(area, Bounds())) return DDERR_INVALIDRECT;
  const bool writeOnly = flags & DDLOCK_WRITEONLY;
  lockView_ = store_->Open(area, !writeOnly);
  locked_ = true;
  lockReadOnly_ = flags & DDLOCK_READONLY;
  lockWriteOnly_ = writeOnly;
  lockedRect_ = area;
  FillDescription(*desc);
  desc->dwFlags |= DDSD_LPSURFACE;
  desc->lpSurface = lockView_.bits;
  desc->lPitch = static_cast<LONG>(lockView_.pitch);
  return DD_OK;
}

HRESULT Surface::Unlock(LPVOID) {
  if (!locked_) return DDERR_NOTLOCKED;
  // What was written into a lost surface shows nowhere.
  const bool keep = !lockReadOnly_ && !Lost();
  store_->Close(lockView_, keep ? Region(lockedRect_) : Region(), !lockWriteOnly_, nullptr);
  locked_ = false;
  lockView_ = PixelView{};
  return DD_OK;
}

HRESULT Surface::GetDC(HDC* dc) {
  if (!dc) return DDERR_INVALIDPARAMS;
  if (dc_) return DDERR_DCALREADYCREATED;
  if (HRESULT result = Unavailable(); FAILED(result)) return result;
  std::vector<COLORREF> palette;
  if (display::IsPalettized(format_)) palette = gdi::SystemPaletteColours();
  auto bitmap = gdi::Bitmap::CreateDib(width_, height_, true, GdiFormat(format_), std::move(palette));
  if (!bitmap) return DDERR_OUTOFMEMORY;
  const size_t rowBytes = static_cast<size_t>(width_) * display::BytesPerPixel(format_);
  PixelView view = store_->Open(Bounds(), true);
  CopyRows(bitmap->Bits(), bitmap->Stride(), view.bits, view.pitch, rowBytes, height_);
  auto context = gdi::MakeSurfaceDc(bitmap, Bounds(), POINT{0, 0});
  HDC handle = gdi::InsertDc(context);
  if (!handle) {
    store_->Close(view, Region(), false, nullptr);
    return DDERR_OUTOFMEMORY;
  }
  dc_ = handle;
  dcBitmap_ = std::move(bitmap);
  dcView_ = view;
  *dc = handle;
  return DD_OK;
}

HRESULT Surface::ReleaseDC(HDC dc) {
  if (!dc_) return DDERR_NODC;
  if (dc != dc_) return DDERR_INVALIDPARAMS;
  const bool keep = !Lost();
  if (keep) {
    const size_t rowBytes = static_cast<size_t>(width_) * display::BytesPerPixel(format_);
    CopyRows(dcView_.bits, dcView_.pitch, dcBitmap_->Bits(), dcBitmap_->Stride(), rowBytes, height_);
  }
  store_->Close(dcView_, keep ? Region(Bounds()) : Region(), true, nullptr);
  if (auto context = gdi::RemoveDc(dc_)) gdi::DeselectAll(*context);
  dc_ = nullptr;
  dcBitmap_.reset();
  dcView_ = PixelView{};
  return DD_OK;
}

}  // namespace twl::ddraw
