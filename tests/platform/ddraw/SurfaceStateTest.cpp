// What a surface answers before any pixel moves: which interfaces it
// offers, what creation refuses, and the states Lock, GetDC, colour keys
// and the primary surface put it in.
#include "DirectDrawFixture.h"

namespace {

using ddtest::DirectDrawTest;

class SurfaceState : public DirectDrawTest {};

TEST_F(SurfaceState, NewerInterfacesFollowTheTestingSetting) {
  struct Case {
    int newest;
    bool third;
    bool fourth;
  };
  for (const Case& c : {Case{2, false, false}, Case{3, true, false}, Case{4, true, true}}) {
    SCOPED_TRACE(c.newest);
    TwlTestSetSurfaceInterfaces(c.newest);
    IDirectDrawSurface2* surface = MakeSurface(2, 2);
    void* answer = nullptr;
    EXPECT_EQ(surface->QueryInterface(IID_IDirectDrawSurface3, &answer) == S_OK, c.third);
    if (answer) static_cast<IUnknown*>(answer)->Release();
    answer = nullptr;
    EXPECT_EQ(surface->QueryInterface(IID_IDirectDrawSurface4, &answer) == S_OK, c.fourth);
    if (answer) static_cast<IUnknown*>(answer)->Release();
    EXPECT_EQ(surface->QueryInterface(IID_IDirectDrawClipper, &answer), E_NOINTERFACE);
    EXPECT_EQ(answer, nullptr);
  }
}

TEST_F(SurfaceState, CreationRefusesWhatItCannotMake) {
  struct Case {
    const char* name;
    DWORD flags;
    DWORD caps;
    DWORD width, height;
    HRESULT expected;
  };
  const Case cases[] = {
      {"no width", DDSD_CAPS | DDSD_HEIGHT, DDSCAPS_OFFSCREENPLAIN, 0, 4, DDERR_INVALIDPARAMS},
      {"zero height", DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT, DDSCAPS_OFFSCREENPLAIN, 4, 0, DDERR_INVALIDPARAMS},
      {"wider than any surface", DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT, DDSCAPS_OFFSCREENPLAIN, 0x80000000u, 4,
       DDERR_OUTOFMEMORY},
      {"too many bytes", DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT, DDSCAPS_VIDEOMEMORY, 16384, 16384,
       DDERR_OUTOFVIDEOMEMORY},
      {"primary with a size", DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT, DDSCAPS_PRIMARYSURFACE, 4, 4,
       DDERR_INVALIDPARAMS},
      {"primary and off-screen at once", DDSD_CAPS, DDSCAPS_PRIMARYSURFACE | DDSCAPS_OFFSCREENPLAIN, 0, 0,
       DDERR_INVALIDCAPS},
      {"system and video memory at once", DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT,
       DDSCAPS_SYSTEMMEMORY | DDSCAPS_VIDEOMEMORY, 4, 4, DDERR_INVALIDCAPS},
      {"a kind of surface the display lacks (flipping)", DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT, 0x10, 4, 4,
       DDERR_INVALIDCAPS},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = c.flags;
    desc.ddsCaps.dwCaps = c.caps;
    desc.dwWidth = c.width;
    desc.dwHeight = c.height;
    LPDIRECTDRAWSURFACE surface = reinterpret_cast<LPDIRECTDRAWSURFACE>(1);
    EXPECT_EQ(draw->CreateSurface(&desc, &surface, nullptr), c.expected);
    EXPECT_EQ(surface, nullptr);
  }
  DDSURFACEDESC shortDesc{};
  shortDesc.dwSize = 108;  // the 32-bit size: this layout holds a 64-bit pointer
  LPDIRECTDRAWSURFACE surface = nullptr;
  EXPECT_EQ(draw->CreateSurface(&shortDesc, &surface, nullptr), DDERR_INVALIDPARAMS);
}

TEST_F(SurfaceState, SurfacesNeedACooperativeLevelAndASupportedDisplay) {
  auto create = ddtest::DirectDrawExport<LPDIRECTDRAWCREATE>("DirectDrawCreate");
  LPDIRECTDRAW fresh = nullptr;
  ASSERT_EQ(create(nullptr, &fresh, nullptr), DD_OK);
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
  desc.dwWidth = desc.dwHeight = 1;
  LPDIRECTDRAWSURFACE surface = nullptr;
  EXPECT_EQ(fresh->CreateSurface(&desc, &surface, nullptr), DDERR_NOCOOPERATIVELEVELSET);
  fresh->Release();

  TwlTestLockDisplay(TRUE);
  EXPECT_EQ(draw->CreateSurface(&desc, &surface, nullptr), DDERR_UNSUPPORTEDMODE);
  TwlTestLockDisplay(FALSE);

  ASSERT_TRUE(TwlTestSetDisplayMode(640, 480, 4));
  EXPECT_EQ(draw->CreateSurface(&desc, &surface, nullptr), DDERR_UNSUPPORTEDMODE);
  DDPIXELFORMAT yuv{};
  yuv.dwSize = sizeof yuv;
  yuv.dwFlags = DDPF_YUV;
  yuv.dwRGBBitCount = 16;
  ASSERT_TRUE(TwlTestSetDisplayPixelFormat(640, 480, &yuv));
  EXPECT_EQ(draw->CreateSurface(&desc, &surface, nullptr), DDERR_UNSUPPORTEDMODE);
  DDSURFACEDESC mode{};
  mode.dwSize = sizeof mode;
  ASSERT_EQ(draw->GetDisplayMode(&mode), DD_OK);
  EXPECT_EQ(mode.ddpfPixelFormat.dwFlags, static_cast<DWORD>(DDPF_YUV));
}

TEST_F(SurfaceState, OnePrimarySurfaceAtATime) {
  IDirectDrawSurface2* primary = MakePrimary();
  ASSERT_NE(primary, nullptr);
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof desc;
  ASSERT_EQ(primary->GetSurfaceDesc(&desc), DD_OK);
  EXPECT_EQ(desc.dwWidth, 640u);
  EXPECT_EQ(desc.dwHeight, 480u);
  EXPECT_TRUE(desc.ddsCaps.dwCaps & DDSCAPS_PRIMARYSURFACE);

  desc = DDSURFACEDESC{};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DDSD_CAPS;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
  LPDIRECTDRAWSURFACE second = nullptr;
  EXPECT_EQ(draw->CreateSurface(&desc, &second, nullptr), DDERR_PRIMARYSURFACEALREADYEXISTS);

  primary->AddRef();
  EXPECT_EQ(primary->Release(), 1u);
}

TEST_F(SurfaceState, PrimaryCanBeMadeAgainAfterTheLastRelease) {
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DDSD_CAPS;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
  LPDIRECTDRAWSURFACE first = nullptr;
  ASSERT_EQ(draw->CreateSurface(&desc, &first, nullptr), DD_OK);
  EXPECT_EQ(first->Release(), 0u);
  LPDIRECTDRAWSURFACE again = nullptr;
  ASSERT_EQ(draw->CreateSurface(&desc, &again, nullptr), DD_OK);
  again->Release();
}

TEST_F(SurfaceState, LockAndDcExcludeEachOtherAndEveryBlit) {
  IDirectDrawSurface2* surface = MakeSurface(4, 4);
  IDirectDrawSurface2* other = MakeSurface(4, 4);
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof desc;
  ASSERT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
  DDSURFACEDESC again{};
  again.dwSize = sizeof again;
  HDC dc = nullptr;
  EXPECT_EQ(surface->Lock(nullptr, &again, DDLOCK_WAIT, nullptr), DDERR_SURFACEBUSY);
  EXPECT_EQ(surface->GetDC(&dc), DDERR_SURFACEBUSY);
  EXPECT_EQ(FillColour(surface, nullptr, 1), DDERR_SURFACEBUSY);
  EXPECT_EQ(other->Blt(nullptr, surface, nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACEBUSY);
  EXPECT_EQ(surface->Unlock(nullptr), DD_OK);
  EXPECT_EQ(surface->Unlock(nullptr), DDERR_NOTLOCKED);

  ASSERT_EQ(surface->GetDC(&dc), DD_OK);
  HDC second = nullptr;
  EXPECT_EQ(surface->GetDC(&second), DDERR_DCALREADYCREATED);
  EXPECT_EQ(surface->Lock(nullptr, &again, DDLOCK_WAIT, nullptr), DDERR_SURFACEBUSY);
  EXPECT_EQ(surface->ReleaseDC(reinterpret_cast<HDC>(0x1234)), DDERR_INVALIDPARAMS);
  EXPECT_EQ(surface->ReleaseDC(dc), DD_OK);
  EXPECT_EQ(surface->ReleaseDC(dc), DDERR_NODC);
}

TEST_F(SurfaceState, LockRefusesBadArguments) {
  IDirectDrawSurface2* surface = MakeSurface(4, 4);
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof desc;
  EXPECT_EQ(surface->Lock(nullptr, nullptr, DDLOCK_WAIT, nullptr), DDERR_INVALIDPARAMS);
  EXPECT_EQ(surface->Lock(nullptr, &desc, DDLOCK_READONLY | DDLOCK_WRITEONLY, nullptr), DDERR_INVALIDPARAMS);
  desc.dwSize = 108;
  EXPECT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DDERR_INVALIDPARAMS);
}

TEST_F(SurfaceState, LockOfARectanglePointsAtItsFirstPixel) {
  IDirectDrawSurface2* surface = MakeSurface(8, 6);
  std::vector<uint32_t> values(48);
  for (int i = 0; i < 48; ++i) values[i] = 0x01000000u * static_cast<uint32_t>(i);
  SetPixels(surface, values);
  RECT part{3, 2, 7, 5};
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof desc;
  ASSERT_EQ(surface->Lock(&part, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr), DD_OK);
  EXPECT_EQ(desc.lPitch, 32);
  uint32_t first = 0;
  uint32_t belowLast = 0;
  std::memcpy(&first, desc.lpSurface, 4);
  std::memcpy(&belowLast, static_cast<BYTE*>(desc.lpSurface) + 2 * desc.lPitch + 3 * 4, 4);
  EXPECT_EQ(first, values[2 * 8 + 3]);
  EXPECT_EQ(belowLast, values[4 * 8 + 6]);
  EXPECT_EQ(surface->Unlock(nullptr), DD_OK);
}

TEST_F(SurfaceState, ColourKeyIsReportedOnlyOnceSet) {
  IDirectDrawSurface2* source = MakeSurface(2, 2);
  IDirectDrawSurface2* target = MakeSurface(2, 2);
  DDCOLORKEY key{};
  EXPECT_EQ(source->GetColorKey(DDCKEY_SRCBLT, &key), DDERR_NOCOLORKEY);
  EXPECT_EQ(target->Blt(nullptr, source, nullptr, DDBLT_KEYSRC | DDBLT_WAIT, nullptr), DDERR_NOCOLORKEY);
  DDCOLORKEY set{0x00FF00FF, 0x12345678};  // without DDCKEY_COLORSPACE only the low value counts
  ASSERT_EQ(source->SetColorKey(DDCKEY_SRCBLT, &set), DD_OK);
  ASSERT_EQ(source->GetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
  EXPECT_EQ(key.dwColorSpaceLowValue, 0x00FF00FFu);
  EXPECT_EQ(key.dwColorSpaceHighValue, 0x00FF00FFu);
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof desc;
  ASSERT_EQ(source->GetSurfaceDesc(&desc), DD_OK);
  EXPECT_TRUE(desc.dwFlags & DDSD_CKSRCBLT);
  DDCOLORKEY inverted{9, 3};
  EXPECT_EQ(source->SetColorKey(DDCKEY_SRCBLT | DDCKEY_COLORSPACE, &inverted), DDERR_INVALIDPARAMS);
  ASSERT_EQ(source->SetColorKey(DDCKEY_SRCBLT, nullptr), DD_OK);
  EXPECT_EQ(source->GetColorKey(DDCKEY_SRCBLT, &key), DDERR_NOCOLORKEY);
}

TEST_F(SurfaceState, BlitsRefuseFlagsAndSourcesTheyCannotServe) {
  IDirectDrawSurface2* target = MakeSurface(2, 2);
  EXPECT_EQ(target->Blt(nullptr, nullptr, nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDPARAMS);
  EXPECT_EQ(target->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, nullptr), DDERR_INVALIDPARAMS);
  DDBLTFX fx{};
  fx.dwSize = 64;
  EXPECT_EQ(target->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL, &fx), DDERR_INVALIDPARAMS);
  fx.dwSize = sizeof fx;
  EXPECT_EQ(target->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | 0x20000 /* raster operation */, &fx),
            DDERR_UNSUPPORTED);
  EXPECT_EQ(target->BltFast(0, 0, target, nullptr, 0x2 /* destination key */), DDERR_UNSUPPORTED);
}

}  // namespace
