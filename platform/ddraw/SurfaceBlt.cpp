// Blt and BltFast. Every rectangle is checked before a pixel moves: an
// empty, inverted or outlying one is DDERR_INVALIDRECT and nothing is
// written.
#include <cstring>
#include <vector>

#include "Clipper.h"
#include "Rects.h"
#include "Surface.h"
#include "platform/display/PixelFormats.h"

namespace twl::ddraw {
namespace {

constexpr DWORD kBltFlags = DDBLT_COLORFILL | DDBLT_KEYSRC | DDBLT_WAIT;
constexpr DWORD kBltFastFlags = DDBLTFAST_SRCCOLORKEY | DDBLTFAST_WAIT;

RECT Shifted(const RECT& r, int64_t dx, int64_t dy) {
  return RECT{static_cast<LONG>(r.left + dx), static_cast<LONG>(r.top + dy), static_cast<LONG>(r.right + dx),
              static_cast<LONG>(r.bottom + dy)};
}

}  // namespace

HRESULT Surface::WritableArea(const RECT& destination, Region* area) const {
  if (!clipper_) {
    *area = Region(destination);
    return DD_OK;
  }
  if (HRESULT result = clipper_->ClipRegion(Bounds(), area); FAILED(result)) return result;
  *area &= Region(destination);
  return DD_OK;
}

HWND Surface::ClipperWindow() const {
  HWND window = nullptr;
  if (clipper_) clipper_->GetHWnd(&window);
  return window;
}

PixelView Surface::DetachedSource(Surface& source, const RECT& sourceRect, std::vector<uint8_t>& buffer) {
  const int bytes = display::BytesPerPixel(source.format_);
  const size_t rowBytes = static_cast<size_t>(WidthOf(sourceRect)) * bytes;
  buffer.resize(rowBytes * static_cast<size_t>(HeightOf(sourceRect)));
  PixelView from = source.store_->Open(sourceRect, true);
  PixelView copy{buffer.data(), static_cast<ptrdiff_t>(rowBytes), sourceRect.left, sourceRect.top, bytes};
  for (int y = sourceRect.top; y < sourceRect.bottom; ++y)
    std::memcpy(copy.At(sourceRect.left, y), from.At(sourceRect.left, y), rowBytes);
  source.store_->Close(from, Region(), false, nullptr);
  return copy;
}

HRESULT Surface::CheckSource(IDirectDrawSurface* source, const RECT* sourceRect, bool keyed, Surface** from,
                             RECT* part) {
  *from = SurfaceOf(source);
  if (!*from) return DDERR_INVALIDPARAMS;
  if (HRESULT result = (*from)->Unavailable(); *from != this && FAILED(result)) return result;
  if (!display::SameFormat((*from)->format_, format_)) return DDERR_INVALIDPIXELFORMAT;
  *part = sourceRect ? *sourceRect : (*from)->Bounds();
  if (!IsProper(*part) || !LiesWithin(*part, (*from)->Bounds())) return DDERR_INVALIDRECT;
  if (keyed && !(*from)->sourceKey_) return DDERR_NOCOLORKEY;
  return DD_OK;
}

HRESULT Surface::Fill(const RECT& destination, DWORD colour) {
  Region area;
  if (HRESULT result = WritableArea(destination, &area); FAILED(result)) return result;
  if (area.Empty()) return DD_OK;
  const uint32_t pixel = colour & display::PixelMask(format_);
  PixelView view = store_->Open(area.Bounds(), false);
  for (const RECT& r : area.Rects()) ddraw::Fill(view, r, pixel);
  store_->Close(view, area, false, ClipperWindow());
  return DD_OK;
}

HRESULT Surface::Copy(const RECT& destination, Surface& source, const RECT& sourceRect, bool keyed) {
  Region area;
  if (HRESULT result = WritableArea(destination, &area); FAILED(result)) return result;
  if (area.Empty()) return DD_OK;
  const bool stretched = WidthOf(destination) != WidthOf(sourceRect) || HeightOf(destination) != HeightOf(sourceRect);
  const ColourKey* key = keyed ? &*source.sourceKey_ : nullptr;

  std::vector<uint8_t> detached;
  const bool sameSurface = &source == this;
  PixelView from = sameSurface ? DetachedSource(source, sourceRect, detached) : source.store_->Open(sourceRect, true);
  // A keyed copy leaves pixels alone, so the target must hold what it shows.
  PixelView to = store_->Open(area.Bounds(), keyed);
  for (const RECT& r : area.Rects()) {
    if (stretched) {
      Stretch(to, destination, r, from, sourceRect, key);
      continue;
    }
    RECT part = Shifted(r, static_cast<int64_t>(sourceRect.left) - destination.left,
                        static_cast<int64_t>(sourceRect.top) - destination.top);
    ddraw::Copy(to, r.left, r.top, from, part, key);
  }
  store_->Close(to, area, keyed, ClipperWindow());
  if (!sameSurface) source.store_->Close(from, Region(), false, nullptr);
  return DD_OK;
}

HRESULT Surface::Blt(LPRECT destination, IDirectDrawSurface* source, LPRECT sourceRect, DWORD flags,
                     LPDDBLTFX fx) {
  if (flags & ~kBltFlags) return DDERR_UNSUPPORTED;
  if (HRESULT result = Unavailable(); FAILED(result)) return result;
  const RECT target = destination ? *destination : Bounds();
  // With a clipper the target may reach past the surface; the clipper cuts it.
  if (!IsProper(target) || (!clipper_ && !LiesWithin(target, Bounds()))) return DDERR_INVALIDRECT;
  if (flags & DDBLT_COLORFILL) {
    if (!fx || fx->dwSize != sizeof(DDBLTFX)) return DDERR_INVALIDPARAMS;
    return Fill(target, fx->dwFillColor);
  }
  Surface* from = nullptr;
  RECT part{};
  const bool keyed = flags & DDBLT_KEYSRC;
  if (HRESULT result = CheckSource(source, sourceRect, keyed, &from, &part); FAILED(result)) return result;
  return Copy(target, *from, part, keyed);
}

HRESULT Surface::BltFast(DWORD x, DWORD y, IDirectDrawSurface* source, LPRECT sourceRect, DWORD flags) {
  if (flags & ~kBltFastFlags) return DDERR_UNSUPPORTED;
  if (HRESULT result = Unavailable(); FAILED(result)) return result;
  if (clipper_) return DDERR_BLTFASTCANTCLIP;
  Surface* from = nullptr;
  RECT part{};
  const bool keyed = flags & DDBLTFAST_SRCCOLORKEY;
  if (HRESULT result = CheckSource(source, sourceRect, keyed, &from, &part); FAILED(result)) return result;
  // x and y are unsigned: a "negative" position is a large one and lies outside.
  if (static_cast<int64_t>(x) + WidthOf(part) > width_ || static_cast<int64_t>(y) + HeightOf(part) > height_)
    return DDERR_INVALIDRECT;
  const RECT target{static_cast<LONG>(x), static_cast<LONG>(y), static_cast<LONG>(x + WidthOf(part)),
                    static_cast<LONG>(y + HeightOf(part))};
  return Copy(target, *from, part, keyed);
}

}  // namespace twl::ddraw
