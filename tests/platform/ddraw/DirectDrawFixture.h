// A DirectDraw object taken from "ddraw.dll" the way programs take it, in
// a display mode the test chooses, with helpers that make surfaces and read
// or write their pixels through Lock.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "twlwin/testing.h"
#include "twlwin/testing_display.h"

namespace ddtest {

// An export of "ddraw.dll" as the function type it has.
template <class Function>
Function DirectDrawExport(const char* name) {
  HMODULE module = LoadLibraryA("ddraw.dll");
  FARPROC found = module ? GetProcAddress(module, name) : nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

// The pixel value bits of a depth as TwlTestSetDisplayMode takes it.
inline uint32_t MaskOfDepth(int depth) {
  switch (depth) {
    case 8: return 0xFF;
    case 15: case 16: return 0xFFFF;
    case 24: return 0xFFFFFF;
    default: return 0xFFFFFFFF;
  }
}

inline int BytesOfDepth(int depth) { return depth == 15 ? 2 : depth / 8; }

class DirectDrawTest : public ::testing::Test {
 protected:
  void SetUp() override { UseDisplay(32); }

  void TearDown() override {
    for (IUnknown* object : owned_) object->Release();
    if (draw) draw->Release();
  }

  // Switches the display and makes a DirectDraw object at normal level.
  void UseDisplay(int depth, int width = 640, int height = 480) {
    if (draw) draw->Release();
    draw = nullptr;
    ASSERT_TRUE(TwlTestSetDisplayMode(width, height, depth));
    auto create = DirectDrawExport<LPDIRECTDRAWCREATE>("DirectDrawCreate");
    ASSERT_NE(create, nullptr);
    LPDIRECTDRAW first = nullptr;
    ASSERT_EQ(create(nullptr, &first, nullptr), DD_OK);
    ASSERT_EQ(first->QueryInterface(IID_IDirectDraw2, reinterpret_cast<void**>(&draw)), DD_OK);
    first->Release();
    ASSERT_EQ(draw->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
    depth_ = depth;
  }

  // An off-screen surface through IDirectDrawSurface2, released at the end.
  IDirectDrawSurface2* MakeSurface(int width, int height) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = static_cast<DWORD>(width);
    desc.dwHeight = static_cast<DWORD>(height);
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    return Keep(Create(desc));
  }

  IDirectDrawSurface2* MakePrimary() { return Keep(MakeOwnPrimary()); }
  // The caller releases it.
  IDirectDrawSurface2* MakeOwnPrimary() {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    return Create(desc);
  }

  IDirectDrawSurface2* Create(DDSURFACEDESC& desc) {
    LPDIRECTDRAWSURFACE first = nullptr;
    HRESULT made = draw->CreateSurface(&desc, &first, nullptr);
    EXPECT_EQ(made, DD_OK);
    if (FAILED(made)) return nullptr;
    IDirectDrawSurface2* second = nullptr;
    EXPECT_EQ(first->QueryInterface(IID_IDirectDrawSurface2, reinterpret_cast<void**>(&second)), DD_OK);
    first->Release();
    return second;
  }

  template <class T>
  T* Keep(T* object) {
    if (object) owned_.push_back(object);
    return object;
  }

  // The pixel values of the whole surface, row by row.
  std::vector<uint32_t> Pixels(IDirectDrawSurface* surface) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    std::vector<uint32_t> out;
    EXPECT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr), DD_OK);
    if (!desc.lpSurface) return out;
    const int bytes = static_cast<int>((desc.ddpfPixelFormat.dwRGBBitCount + 7) / 8);
    for (DWORD y = 0; y < desc.dwHeight; ++y)
      for (DWORD x = 0; x < desc.dwWidth; ++x) {
        uint32_t v = 0;
        std::memcpy(&v, static_cast<BYTE*>(desc.lpSurface) + y * desc.lPitch + x * bytes, bytes);
        out.push_back(v);
      }
    surface->Unlock(nullptr);
    return out;
  }

  uint32_t PixelAt(IDirectDrawSurface* surface, int x, int y) {
    return Pixels(surface).at(static_cast<size_t>(y) * Width(surface) + x);
  }

  // Writes pixel values row by row through Lock (values beyond the depth
  // are cut).
  void SetPixels(IDirectDrawSurface* surface, const std::vector<uint32_t>& values) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    ASSERT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_WRITEONLY, nullptr), DD_OK);
    const int bytes = static_cast<int>((desc.ddpfPixelFormat.dwRGBBitCount + 7) / 8);
    ASSERT_EQ(values.size(), static_cast<size_t>(desc.dwWidth) * desc.dwHeight);
    for (DWORD y = 0; y < desc.dwHeight; ++y)
      for (DWORD x = 0; x < desc.dwWidth; ++x)
        std::memcpy(static_cast<BYTE*>(desc.lpSurface) + y * desc.lPitch + x * bytes, &values[y * desc.dwWidth + x],
                    bytes);
    ASSERT_EQ(surface->Unlock(nullptr), DD_OK);
  }

  HRESULT FillColour(IDirectDrawSurface* surface, RECT* rect, DWORD colour) {
    DDBLTFX fx{};
    fx.dwSize = sizeof fx;
    fx.dwFillColor = colour;
    return surface->Blt(rect, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
  }

  static int Width(IDirectDrawSurface* surface) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    surface->GetSurfaceDesc(&desc);
    return static_cast<int>(desc.dwWidth);
  }

  uint32_t Mask() const { return MaskOfDepth(depth_); }

  IDirectDraw2* draw = nullptr;
  int depth_ = 32;

 private:
  std::vector<IUnknown*> owned_;
};

}  // namespace ddtest
