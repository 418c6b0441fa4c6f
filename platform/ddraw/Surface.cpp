// Surfaces: interfaces, description, colour key, clipper, loss and
// restoration. Blits are in SurfaceBlt.cpp, Lock and GetDC in
// SurfaceAccess.cpp.
#include "Surface.h"

#include "Clipper.h"
#include "DriverState.h"
#include "platform/display/DisplayMode.h"
#include "platform/display/PixelFormats.h"
#include "platform/gdi/Bitmap.h"
#include "platform/gdi/DeviceContext.h"

namespace twl::ddraw {

Surface::Surface(int width, int height, const DDPIXELFORMAT& format, DWORD caps, uint64_t generation,
                 std::unique_ptr<PixelStore> store, bool primary)
    : width_(width),
      height_(height),
      format_(format),
      caps_(caps),
      generation_(generation),
      primary_(primary),
      store_(std::move(store)),
      lossSeen_(display::LossCount()) {}

Surface::~Surface() {
  if (dc_) {
    if (auto dc = gdi::RemoveDc(dc_)) gdi::DeselectAll(*dc);
  }
  if (clipper_) clipper_->Release();
  if (primary_) ReleasePrimary();
}

Surface* SurfaceOf(IDirectDrawSurface* surface) { return dynamic_cast<Surface*>(surface); }

HRESULT Surface::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  const int newest = NewestSurfaceInterface();
  bool answered = iid == IID_IUnknown || iid == IID_IDirectDrawSurface || iid == IID_IDirectDrawSurface2 ||
                  (iid == IID_IDirectDrawSurface3 && newest >= 3) || (iid == IID_IDirectDrawSurface4 && newest >= 4);
  if (!answered) return E_NOINTERFACE;
  // One object answers every version: each interface extends the one before.
  *object = static_cast<IDirectDrawSurface4*>(this);
  AddRef();
  return S_OK;
}

ULONG Surface::AddRef() { return ++references_; }

ULONG Surface::Release() {
  ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

bool Surface::Lost() const { return lossSeen_ != display::LossCount(); }

HRESULT Surface::Unavailable() const {
  if (Lost()) return DDERR_SURFACELOST;
  if (Busy()) return DDERR_SURFACEBUSY;
  return DD_OK;
}

HRESULT Surface::IsLost() { return Lost() ? DDERR_SURFACELOST : DD_OK; }

HRESULT Surface::Restore() {
  if (!Lost()) return DD_OK;
  // Pixels of an earlier mode have another size or format than the display.
  if (generation_ != display::Current().generation) return DDERR_WRONGMODE;
  lossSeen_ = display::LossCount();
  return DD_OK;
}

HRESULT Surface::GetCaps(LPDDSCAPS caps) {
  if (!caps) return DDERR_INVALIDPARAMS;
  caps->dwCaps = caps_;
  return DD_OK;
}

HRESULT Surface::GetClipper(LPDIRECTDRAWCLIPPER* clipper) {
  if (!clipper) return DDERR_INVALIDPARAMS;
  *clipper = clipper_;
  if (!clipper_) return DDERR_NOCLIPPERATTACHED;
  clipper_->AddRef();
  return DD_OK;
}

HRESULT Surface::SetClipper(LPDIRECTDRAWCLIPPER clipper) {
  Clipper* attached = nullptr;
  if (clipper) {
    attached = dynamic_cast<Clipper*>(clipper);
    if (!attached) return DDERR_INVALIDPARAMS;
    attached->AddRef();
  }
  if (clipper_) clipper_->Release();
  clipper_ = attached;
  return DD_OK;
}

HRESULT Surface::GetColorKey(DWORD flags, LPDDCOLORKEY key) {
  if (!key || flags != DDCKEY_SRCBLT) return DDERR_INVALIDPARAMS;
  if (!sourceKey_) return DDERR_NOCOLORKEY;
  key->dwColorSpaceLowValue = sourceKey_->low;
  key->dwColorSpaceHighValue = sourceKey_->high;
  return DD_OK;
}

HRESULT Surface::SetColorKey(DWORD flags, LPDDCOLORKEY key) {
  if (flags & ~(DDCKEY_SRCBLT | DDCKEY_COLORSPACE)) return DDERR_UNSUPPORTED;
  if (!(flags & DDCKEY_SRCBLT)) return DDERR_INVALIDPARAMS;
  if (!key) {
    sourceKey_.reset();
    return DD_OK;
  }
  const uint32_t mask = display::PixelMask(format_);
  ColourKey made{key->dwColorSpaceLowValue & mask, key->dwColorSpaceLowValue & mask};
  if (flags & DDCKEY_COLORSPACE) {
    made.high = key->dwColorSpaceHighValue & mask;
    if (made.high < made.low) return DDERR_INVALIDPARAMS;
  }
  sourceKey_ = made;
  return DD_OK;
}

HRESULT Surface::GetPixelFormat(LPDDPIXELFORMAT format) {
  if (!format || format->dwSize != sizeof(DDPIXELFORMAT)) return DDERR_INVALIDPARAMS;
  *format = format_;
  return DD_OK;
}

void Surface::FillDescription(DDSURFACEDESC& desc) const {
  desc = DDSURFACEDESC{};
  desc.dwSize = sizeof(DDSURFACEDESC);
  desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PITCH | DDSD_PIXELFORMAT;
  desc.dwWidth = static_cast<DWORD>(width_);
  desc.dwHeight = static_cast<DWORD>(height_);
  desc.lPitch = static_cast<LONG>(PitchFor(width_, format_));
  desc.ddpfPixelFormat = format_;
  desc.ddsCaps.dwCaps = caps_;
  if (sourceKey_) {
    desc.dwFlags |= DDSD_CKSRCBLT;
    desc.ddckCKSrcBlt = DDCOLORKEY{sourceKey_->low, sourceKey_->high};
  }
}

HRESULT Surface::GetSurfaceDesc(LPDDSURFACEDESC desc) {
  if (!desc || desc->dwSize != sizeof(DDSURFACEDESC)) return DDERR_INVALIDPARAMS;
  FillDescription(*desc);
  return DD_OK;
}

ptrdiff_t PitchFor(int width, const DDPIXELFORMAT& format) {
  return (static_cast<ptrdiff_t>(width) * display::BytesPerPixel(format) + 3) / 4 * 4;
}

}  // namespace twl::ddraw
