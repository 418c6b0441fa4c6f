#include "SurfaceCreation.h"

#include <memory>
#include <new>

#include "DriverState.h"
#include "ScreenStore.h"
#include "Surface.h"
#include "platform/display/DisplayMode.h"
#include "platform/display/PixelFormats.h"

namespace twl::ddraw {
namespace {

constexpr DWORD kDescriptionFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT | DDSD_CKSRCBLT;
constexpr DWORD kMemoryCaps = DDSCAPS_SYSTEMMEMORY | DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM;
constexpr DWORD kKnownCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_PRIMARYSURFACE | DDSCAPS_VISIBLE | kMemoryCaps;
// Larger than any skin picture or screen; small enough that a hostile
// description cannot ask for gigabytes.
constexpr int kMaxSide = 16384;
constexpr int64_t kMaxBytes = 256LL * 1024 * 1024;

HRESULT CheckCaps(DWORD caps) {
  if (caps & ~kKnownCaps) return DDERR_INVALIDCAPS;
  if ((caps & DDSCAPS_PRIMARYSURFACE) && (caps & DDSCAPS_OFFSCREENPLAIN)) return DDERR_INVALIDCAPS;
  if ((caps & DDSCAPS_SYSTEMMEMORY) && (caps & DDSCAPS_VIDEOMEMORY)) return DDERR_INVALIDCAPS;
  return DD_OK;
}

HRESULT MakePrimary(const display::Mode& mode, uint64_t generation, Surface** made) {
  if (!ClaimPrimary()) return DDERR_PRIMARYSURFACEALREADYEXISTS;
  std::unique_ptr<PixelStore> store;
  try {
    store = std::make_unique<ScreenStore>(mode.format);
  } catch (const std::bad_alloc&) {
    ReleasePrimary();
    return DDERR_OUTOFMEMORY;
  }
  const DWORD caps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_VISIBLE | DDSCAPS_VIDEOMEMORY | DDSCAPS_LOCALVIDMEM;
  *made = new (std::nothrow) Surface(mode.width, mode.height, mode.format, caps, generation, std::move(store), true);
  if (!*made) {
    ReleasePrimary();
    return DDERR_OUTOFMEMORY;
  }
  return DD_OK;
}

HRESULT MakeOffscreen(const DDSURFACEDESC& desc, DWORD caps, const display::Mode& mode, uint64_t generation,
                      Surface** made) {
  if ((desc.dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) != (DDSD_WIDTH | DDSD_HEIGHT)) return DDERR_INVALIDPARAMS;
  if (desc.dwWidth == 0 || desc.dwHeight == 0) return DDERR_INVALIDPARAMS;
  const bool video = caps & DDSCAPS_VIDEOMEMORY;
  const HRESULT noRoom = video ? DDERR_OUTOFVIDEOMEMORY : DDERR_OUTOFMEMORY;
  if (desc.dwWidth > kMaxSide || desc.dwHeight > kMaxSide) return noRoom;
  const int width = static_cast<int>(desc.dwWidth);
  const int height = static_cast<int>(desc.dwHeight);
  const ptrdiff_t pitch = PitchFor(width, mode.format);
  if (static_cast<int64_t>(pitch) * height > kMaxBytes) return noRoom;
  std::unique_ptr<PixelStore> store;
  try {
    store = std::make_unique<MemoryStore>(height, pitch, display::BytesPerPixel(mode.format));
  } catch (const std::bad_alloc&) {
    return noRoom;
  }
  caps |= DDSCAPS_OFFSCREENPLAIN | (video ? DDSCAPS_LOCALVIDMEM : DDSCAPS_SYSTEMMEMORY);
  *made = new (std::nothrow) Surface(width, height, mode.format, caps, generation, std::move(store), false);
  return *made ? DD_OK : noRoom;
}

}  // namespace

HRESULT MakeSurface(const DDSURFACEDESC& desc, LPDIRECTDRAWSURFACE* surface) {
  if (desc.dwFlags & ~kDescriptionFlags) return DDERR_INVALIDPARAMS;
  const DWORD caps = (desc.dwFlags & DDSD_CAPS) ? desc.ddsCaps.dwCaps : DDSCAPS_OFFSCREENPLAIN;
  if (HRESULT result = CheckCaps(caps); FAILED(result)) return result;
  if (DisplayLocked()) return DDERR_UNSUPPORTEDMODE;
  const display::CurrentMode current = display::Current();
  if (!display::IsSurfaceFormat(current.mode.format)) return DDERR_UNSUPPORTEDMODE;
  if ((desc.dwFlags & DDSD_PIXELFORMAT) && !display::SameFormat(desc.ddpfPixelFormat, current.mode.format))
    return DDERR_INVALIDPIXELFORMAT;

  Surface* made = nullptr;
  HRESULT result;
  if (caps & DDSCAPS_PRIMARYSURFACE) {
    if (desc.dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) return DDERR_INVALIDPARAMS;
    result = MakePrimary(current.mode, current.generation, &made);
  } else {
    result = MakeOffscreen(desc, caps & ~DDSCAPS_VISIBLE, current.mode, current.generation, &made);
  }
  if (FAILED(result)) return result;
  if (desc.dwFlags & DDSD_CKSRCBLT) {
    DDCOLORKEY key = desc.ddckCKSrcBlt;
    if (result = made->SetColorKey(DDCKEY_SRCBLT | DDCKEY_COLORSPACE, &key); FAILED(result)) {
      made->Release();
      return result;
    }
  }
  *surface = made;
  return DD_OK;
}

}  // namespace twl::ddraw
