// The DirectDraw object: makes surfaces and clippers, reports and changes
// the display mode, and holds its cooperative level. One object answers
// IDirectDraw, IDirectDraw2 and IDirectDraw7. When its last reference goes,
// a display mode it changed is given back. Used by one thread at a time;
// the reference count is thread-safe.
#pragma once

#include <atomic>

#include "platform/display/DisplayMode.h"
#include "twlwin/ddraw.h"

namespace twl::ddraw {

class DirectDraw final : public IDirectDraw2, public IDirectDraw7 {
 public:
  HRESULT QueryInterface(REFIID iid, void** object) override;
  ULONG AddRef() override;
  ULONG Release() override;

  HRESULT CreateClipper(DWORD flags, LPDIRECTDRAWCLIPPER* clipper, IUnknown* outer) override;
  HRESULT CreateSurface(LPDDSURFACEDESC desc, LPDIRECTDRAWSURFACE* surface, IUnknown* outer) override;
  HRESULT EnumDisplayModes(DWORD flags, LPDDSURFACEDESC filter, LPVOID context,
                           LPDDENUMMODESCALLBACK callback) override;
  HRESULT GetCaps(LPDDCAPS driver, LPDDCAPS emulation) override;
  HRESULT GetDisplayMode(LPDDSURFACEDESC desc) override;
  HRESULT RestoreDisplayMode() override;
  HRESULT SetCooperativeLevel(HWND window, DWORD flags) override;
  HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel) override;
  HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel, DWORD refreshRate, DWORD flags) override;

 private:
  ~DirectDraw();

  std::atomic<ULONG> references_{1};
  DWORD level_ = 0;  // 0 until SetCooperativeLevel
  bool changedMode_ = false;
  display::Mode modeBefore_;  // the mode to give back, while changedMode_
};

// A new clipper, for IDirectDraw::CreateClipper and DirectDrawCreateClipper.
HRESULT MakeClipper(DWORD flags, LPDIRECTDRAWCLIPPER* clipper, IUnknown* outer);

// The description of a display mode as GetDisplayMode and EnumDisplayModes
// give it.
void DescribeMode(const display::Mode& mode, DDSURFACEDESC& desc);

}  // namespace twl::ddraw
