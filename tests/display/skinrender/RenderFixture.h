// A display state over the layer's DirectDraw in a display mode the test
// chooses, installed as the current one, with helpers that make pictures
// and read surfaces back through Lock.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "display/state/DisplayState.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "twlwin/testing_display.h"

namespace rendertest {

inline IDirectDraw2* OpenDirectDraw() {
  HMODULE module = LoadLibraryA("ddraw.dll");
  FARPROC found = module ? GetProcAddress(module, "DirectDrawCreate") : nullptr;
  auto create = reinterpret_cast<LPDIRECTDRAWCREATE>(reinterpret_cast<void (*)()>(found));
  if (!create) return nullptr;
  LPDIRECTDRAW first = nullptr;
  if (FAILED(create(nullptr, &first, nullptr))) return nullptr;
  IDirectDraw2* draw = nullptr;
  first->QueryInterface(IID_IDirectDraw2, reinterpret_cast<void**>(&draw));
  first->Release();
  if (draw) draw->SetCooperativeLevel(nullptr, DDSCL_NORMAL);
  return draw;
}

// Passes every call on to a real DirectDraw object; tests override what
// they want to fail. Not counted: it lives as long as the test.
struct DirectDrawWrapper : IDirectDraw2 {
  IDirectDraw2* inner;
  explicit DirectDrawWrapper(IDirectDraw2* draw) : inner(draw) {}
  HRESULT QueryInterface(REFIID iid, void** object) override { return inner->QueryInterface(iid, object); }
  ULONG AddRef() override { return 2; }
  ULONG Release() override { return 1; }
  HRESULT CreateClipper(DWORD flags, LPDIRECTDRAWCLIPPER* clipper, IUnknown* outer) override {
    return inner->CreateClipper(flags, clipper, outer);
  }
  HRESULT CreateSurface(LPDDSURFACEDESC desc, LPDIRECTDRAWSURFACE* surface, IUnknown* outer) override {
    return inner->CreateSurface(desc, surface, outer);
  }
  HRESULT EnumDisplayModes(DWORD flags, LPDDSURFACEDESC filter, LPVOID context,
                           LPDDENUMMODESCALLBACK callback) override {
    return inner->EnumDisplayModes(flags, filter, context, callback);
  }
  HRESULT GetCaps(LPDDCAPS driver, LPDDCAPS emulation) override { return inner->GetCaps(driver, emulation); }
  HRESULT GetDisplayMode(LPDDSURFACEDESC desc) override { return inner->GetDisplayMode(desc); }
  HRESULT RestoreDisplayMode() override { return inner->RestoreDisplayMode(); }
  HRESULT SetCooperativeLevel(HWND window, DWORD flags) override { return inner->SetCooperativeLevel(window, flags); }
  HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bits) override {
    return inner->SetDisplayMode(width, height, bits);
  }
  HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bits, DWORD rate, DWORD flags) override {
    return inner->SetDisplayMode(width, height, bits, rate, flags);
  }
};

// A 32-bit picture, red in the low byte, from rows given top first.
inline CDIBitmap* MakePicture(int width, int height, const std::vector<DWORD>& pixels, bool topDown = true) {
  auto* bitmap = new CDIBitmap;
  CPixelFormat format;
  format.SetMasks(32, 0xFF, 0xFF00, 0xFF0000);
  bitmap->Create(width, height, 0, format, topDown);
  for (int y = 0; y < height; ++y) {
    const int stored = topDown ? y : height - 1 - y;
    std::memcpy(bitmap->GetPixels() + static_cast<size_t>(stored) * width * 4, &pixels[static_cast<size_t>(y) * width],
                static_cast<size_t>(width) * 4);
  }
  return bitmap;
}

// The pixel values of a surface, row after row.
inline std::vector<DWORD> ReadSurface(IDirectDrawSurface2* surface) {
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof desc;
  if (FAILED(surface->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr))) return {};
  const DWORD bytes = (desc.ddpfPixelFormat.dwRGBBitCount + 7) / 8;
  std::vector<DWORD> pixels;
  for (DWORD y = 0; y < desc.dwHeight; ++y)
    for (DWORD x = 0; x < desc.dwWidth; ++x) {
      DWORD value = 0;
      std::memcpy(&value, static_cast<BYTE*>(desc.lpSurface) + y * desc.lPitch + x * bytes, bytes);
      pixels.push_back(value);
    }
  surface->Unlock(desc.lpSurface);
  return pixels;
}

class RenderTest : public ::testing::Test {
 protected:
  void SetUp() override { UseDisplay(640, 480, 32); }
  void TearDown() override {
    CDisplayState::SetCurrent(nullptr);
    display.Exit();
  }

  void UseDisplay(int width, int height, int depth) {
    CDisplayState::SetCurrent(nullptr);
    display.Exit();
    ASSERT_TRUE(TwlTestSetDisplayMode(width, height, depth));
    IDirectDraw2* draw = OpenDirectDraw();
    ASSERT_NE(draw, nullptr);
    ASSERT_EQ(display.Init(draw), DD_OK);
    draw->Release();
    CDisplayState::SetCurrent(&display);
  }

  // A plain off-screen surface of the display, released with the test.
  IDirectDrawSurface2* MakeTarget(DWORD width, DWORD height, DWORD fill) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = width;
    desc.dwHeight = height;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    IDirectDrawSurface* first = nullptr;
    EXPECT_EQ(display.GetDirectDraw()->CreateSurface(&desc, &first, nullptr), DD_OK);
    IDirectDrawSurface2* surface = nullptr;
    first->QueryInterface(IID_IDirectDrawSurface2, reinterpret_cast<void**>(&surface));
    first->Release();
    DDBLTFX fx{};
    fx.dwSize = sizeof fx;
    fx.dwFillColor = fill;
    surface->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    targets_.push_back(surface);
    return surface;
  }

  CDisplayState display;

 private:
  struct Targets : std::vector<IDirectDrawSurface2*> {
    ~Targets() {
      for (IDirectDrawSurface2* surface : *this) surface->Release();
    }
  } targets_;
};

}  // namespace rendertest
