// A DirectDraw surface: pixels in the display format of the mode it was
// made in, an optional source colour key and clipper, and the state of a
// Lock or GetDC in progress. One object answers every surface interface
// (IDirectDrawSurface to IDirectDrawSurface4, as far as the testing
// header lets it).
//
// A surface is lost when the display mode changes or a loss is injected;
// then every access answers DDERR_SURFACELOST until Restore, which only a
// surface of the current mode can do (DDERR_WRONGMODE otherwise).
// Used by one thread at a time (callers hold their display lock); the
// reference count is thread-safe.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>

#include "Blitter.h"
#include "PixelStore.h"
#include "twlwin/ddraw.h"

namespace twl::gdi {
class Bitmap;
}

namespace twl::ddraw {

class Clipper;

class Surface final : public IDirectDrawSurface4 {
 public:
  // The caller has checked the size and format.
  Surface(int width, int height, const DDPIXELFORMAT& format, DWORD caps, uint64_t generation,
          std::unique_ptr<PixelStore> store, bool primary);

  HRESULT QueryInterface(REFIID iid, void** object) override;
  ULONG AddRef() override;
  ULONG Release() override;

  HRESULT Blt(LPRECT destination, IDirectDrawSurface* source, LPRECT sourceRect, DWORD flags,
              LPDDBLTFX fx) override;
  HRESULT BltFast(DWORD x, DWORD y, IDirectDrawSurface* source, LPRECT sourceRect, DWORD flags) override;
  HRESULT GetCaps(LPDDSCAPS caps) override;
  HRESULT GetClipper(LPDIRECTDRAWCLIPPER* clipper) override;
  HRESULT GetColorKey(DWORD flags, LPDDCOLORKEY key) override;
  HRESULT GetDC(HDC* dc) override;
  HRESULT GetPixelFormat(LPDDPIXELFORMAT format) override;
  HRESULT GetSurfaceDesc(LPDDSURFACEDESC desc) override;
  HRESULT IsLost() override;
  HRESULT Lock(LPRECT rect, LPDDSURFACEDESC desc, DWORD flags, HANDLE event) override;
  HRESULT ReleaseDC(HDC dc) override;
  HRESULT Restore() override;
  HRESULT SetClipper(LPDIRECTDRAWCLIPPER clipper) override;
  HRESULT SetColorKey(DWORD flags, LPDDCOLORKEY key) override;
  HRESULT Unlock(LPVOID pointer) override;

  int Width() const { return width_; }
  int Height() const { return height_; }
  const DDPIXELFORMAT& Format() const { return format_; }

 private:
  ~Surface();

  RECT Bounds() const { return RECT{0, 0, width_, height_}; }
  bool Lost() const;
  bool Busy() const { return locked_ || dc_ != nullptr; }
  // Lost or busy: the answer an access gets before it starts.
  HRESULT Unavailable() const;
  // The source of a copy, its rectangle (null: all of it) checked.
  HRESULT CheckSource(IDirectDrawSurface* source, const RECT* sourceRect, bool keyed, Surface** from, RECT* part);
  HRESULT Fill(const RECT& destination, DWORD colour);
  HRESULT Copy(const RECT& destination, Surface& source, const RECT& sourceRect, bool keyed);
  // The rectangles of `destination` a blit may write: all of it, or with a
  // clipper what the clipper leaves of it.
  HRESULT WritableArea(const RECT& destination, Region* area) const;
  // The window an attached clipper is bound to, or null.
  HWND ClipperWindow() const;
  // A copy of the source pixels when source and target are one surface.
  PixelView DetachedSource(Surface& source, const RECT& sourceRect, std::vector<uint8_t>& buffer);
  void FillDescription(DDSURFACEDESC& desc) const;

  std::atomic<ULONG> references_{1};
  const int width_;
  const int height_;
  const DDPIXELFORMAT format_;
  const DWORD caps_;
  const uint64_t generation_;
  const bool primary_;
  std::unique_ptr<PixelStore> store_;
  uint64_t lossSeen_;
  std::optional<ColourKey> sourceKey_;
  Clipper* clipper_ = nullptr;

  bool locked_ = false;
  bool lockReadOnly_ = false;
  bool lockWriteOnly_ = false;
  RECT lockedRect_{};
  PixelView lockView_;

  HDC dc_ = nullptr;
  std::shared_ptr<gdi::Bitmap> dcBitmap_;
  PixelView dcView_;
};

// Bytes per row of a surface: whole 32-bit words, as GDI's DIBs have.
ptrdiff_t PitchFor(int width, const DDPIXELFORMAT& format);

// The surface behind an interface pointer a caller passed, or null when it
// is not one of the layer's.
Surface* SurfaceOf(IDirectDrawSurface* surface);

}  // namespace twl::ddraw
