#include "DirectDraw.h"

#include <new>

#include "Clipper.h"
#include "DriverState.h"
#include "SurfaceCreation.h"
#include "platform/display/PixelFormats.h"

namespace twl::ddraw {
namespace {

constexpr DWORD kFullScreen = DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN;

bool Matches(const display::Mode& mode, const DDSURFACEDESC& filter) {
  if ((filter.dwFlags & DDSD_WIDTH) && filter.dwWidth != static_cast<DWORD>(mode.width)) return false;
  if ((filter.dwFlags & DDSD_HEIGHT) && filter.dwHeight != static_cast<DWORD>(mode.height)) return false;
  if ((filter.dwFlags & DDSD_PIXELFORMAT) &&
      filter.ddpfPixelFormat.dwRGBBitCount != mode.format.dwRGBBitCount)
    return false;
  if ((filter.dwFlags & DDSD_REFRESHRATE) && filter.dwRefreshRate != static_cast<DWORD>(mode.refreshRate))
    return false;
  return true;
}

}  // namespace

void DescribeMode(const display::Mode& mode, DDSURFACEDESC& desc) {
  // Callers compare descriptions byte for byte, so every unused byte is 0.
  desc = DDSURFACEDESC{};
  desc.dwSize = sizeof(DDSURFACEDESC);
  desc.dwFlags = DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
  desc.dwWidth = static_cast<DWORD>(mode.width);
  desc.dwHeight = static_cast<DWORD>(mode.height);
  desc.lPitch = static_cast<LONG>((static_cast<int64_t>(mode.width) * mode.format.dwRGBBitCount + 31) / 32 * 4);
  desc.ddpfPixelFormat = mode.format;
  if (mode.refreshRate) {
    desc.dwFlags |= DDSD_REFRESHRATE;
    desc.dwRefreshRate = static_cast<DWORD>(mode.refreshRate);
  }
}

HRESULT MakeClipper(DWORD flags, LPDIRECTDRAWCLIPPER* clipper, IUnknown* outer) {
  if (!clipper) return DDERR_INVALIDPARAMS;
  *clipper = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  if (flags != 0) return DDERR_INVALIDPARAMS;
  *clipper = new (std::nothrow) Clipper;
  return *clipper ? DD_OK : DDERR_OUTOFMEMORY;
}

DirectDraw::~DirectDraw() {
  RestoreDisplayMode();
  ReleaseExclusive(this);
}

HRESULT DirectDraw::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (iid == IID_IUnknown || iid == IID_IDirectDraw) {
    *object = static_cast<IDirectDraw*>(this);
  } else if (iid == IID_IDirectDraw2) {
    *object = static_cast<IDirectDraw2*>(this);
  } else if (iid == IID_IDirectDraw7) {
    *object = static_cast<IDirectDraw7*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG DirectDraw::AddRef() { return ++references_; }

ULONG DirectDraw::Release() {
  ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

HRESULT DirectDraw::CreateClipper(DWORD flags, LPDIRECTDRAWCLIPPER* clipper, IUnknown* outer) {
  return MakeClipper(flags, clipper, outer);
}

HRESULT DirectDraw::CreateSurface(LPDDSURFACEDESC desc, LPDIRECTDRAWSURFACE* surface, IUnknown* outer) {
  if (!surface) return DDERR_INVALIDPARAMS;
  *surface = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  if (!desc || desc->dwSize != sizeof(DDSURFACEDESC)) return DDERR_INVALIDPARAMS;
  if (level_ == 0) return DDERR_NOCOOPERATIVELEVELSET;
  return MakeSurface(*desc, surface);
}

HRESULT DirectDraw::EnumDisplayModes(DWORD flags, LPDDSURFACEDESC filter, LPVOID context,
                                     LPDDENUMMODESCALLBACK callback) {
  if (!callback || (flags & ~DDEDM_REFRESHRATES)) return DDERR_INVALIDPARAMS;
  if (filter && filter->dwSize != sizeof(DDSURFACEDESC)) return DDERR_INVALIDPARAMS;
  for (const display::Mode& mode : display::OfferedModes()) {
    if (filter && !Matches(mode, *filter)) continue;
    DDSURFACEDESC desc;
    DescribeMode(mode, desc);
    if (callback(&desc, context) == DDENUMRET_CANCEL) break;
  }
  return DD_OK;
}

HRESULT DirectDraw::GetCaps(LPDDCAPS driver, LPDDCAPS emulation) {
  if (!driver && !emulation) return DDERR_INVALIDPARAMS;
  if ((driver && driver->dwSize != sizeof(DDCAPS)) || (emulation && emulation->dwSize != sizeof(DDCAPS)))
    return DDERR_INVALIDPARAMS;
  Caps caps = CurrentCaps();
  if (driver) *driver = caps.driver;
  if (emulation) *emulation = caps.emulation;
  return DD_OK;
}

HRESULT DirectDraw::GetDisplayMode(LPDDSURFACEDESC desc) {
  if (!desc || desc->dwSize != sizeof(DDSURFACEDESC)) return DDERR_INVALIDPARAMS;
  DescribeMode(display::Current().mode, *desc);
  return DD_OK;
}

HRESULT DirectDraw::RestoreDisplayMode() {
  if (!changedMode_) return DD_OK;
  changedMode_ = false;
  display::ChangeMode(modeBefore_);
  return DD_OK;
}

HRESULT DirectDraw::SetCooperativeLevel(HWND window, DWORD flags) {
  if (flags != DDSCL_NORMAL && flags != kFullScreen) return DDERR_INVALIDPARAMS;
  if (window && !IsWindow(window)) return DDERR_INVALIDPARAMS;
  if (flags == kFullScreen) {
    if (!window) return DDERR_INVALIDPARAMS;
    if (!ClaimExclusive(this)) return DDERR_EXCLUSIVEMODEALREADYSET;
  } else {
    ReleaseExclusive(this);
  }
  level_ = flags;
  return DD_OK;
}

HRESULT DirectDraw::SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel) {
  return SetDisplayMode(width, height, bitsPerPixel, 0, 0);
}

HRESULT DirectDraw::SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel, DWORD refreshRate, DWORD flags) {
  if (flags != 0) return DDERR_INVALIDPARAMS;
  if (level_ == 0) return DDERR_NOCOOPERATIVELEVELSET;
  if (ExclusiveHeldByOther(this)) return DDERR_NOEXCLUSIVEMODE;
  for (const display::Mode& mode : display::OfferedModes()) {
    if (static_cast<DWORD>(mode.width) != width || static_cast<DWORD>(mode.height) != height ||
        mode.format.dwRGBBitCount != bitsPerPixel)
      continue;
    if (refreshRate != 0 && static_cast<DWORD>(mode.refreshRate) != refreshRate) continue;
    if (!changedMode_) {
      modeBefore_ = display::Current().mode;
      changedMode_ = true;
    }
    display::ChangeMode(mode);
    return DD_OK;
  }
  return DDERR_INVALIDMODE;
}

}  // namespace twl::ddraw
