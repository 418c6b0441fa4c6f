// Display modes: a change loses every surface (and only surfaces of the new
// mode can come back), injected losses, SetDisplayMode and its give-back,
// the offered modes, the cooperative levels, and the first mode taken from
// TWL_DISPLAY.
#include <atomic>
#include <cstdlib>
#include <thread>

#include "DirectDrawFixture.h"
#include "MessageLog.h"
#include "support/TestPaths.h"

namespace {

using ddtest::DirectDrawTest;

class DisplayMode : public DirectDrawTest {
 protected:
  DDSURFACEDESC CurrentMode() {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    EXPECT_EQ(draw->GetDisplayMode(&desc), DD_OK);
    return desc;
  }
};

TEST_F(DisplayMode, ForcedChangeLosesEverySurfaceUntilItIsMadeAnew) {
  UseDisplay(32, 1024, 768);
  HWND window = ddtest::MessageLog::MakeWindow(RECT{0, 0, 50, 50});
  ASSERT_NE(window, nullptr);
  IDirectDrawSurface2* primary = MakeOwnPrimary();
  IDirectDrawSurface2* picture = MakeSurface(16, 16);
  ASSERT_TRUE(primary && picture);

  ASSERT_TRUE(TwlTestSetDisplayMode(800, 600, 16));
  std::vector<ddtest::Noted> told = ddtest::MessageLog::Get().Of(WM_DISPLAYCHANGE);
  ASSERT_EQ(told.size(), 1u);
  EXPECT_EQ(told[0].window, window);
  EXPECT_EQ(told[0].wParam, 16u);
  EXPECT_EQ(told[0].lParam, MAKELPARAM(800, 600));

  for (IDirectDrawSurface2* surface : {primary, picture}) {
    EXPECT_EQ(FillColour(surface, nullptr, 0), static_cast<HRESULT>(0x887601C2));
    EXPECT_EQ(surface->Blt(nullptr, picture, nullptr, DDBLT_WAIT, nullptr), DDERR_SURFACELOST);
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    EXPECT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DDERR_SURFACELOST);
    HDC dc = nullptr;
    EXPECT_EQ(surface->GetDC(&dc), DDERR_SURFACELOST);
    EXPECT_EQ(surface->IsLost(), DDERR_SURFACELOST);
    // Its pixels belong to the earlier mode: it cannot come back.
    EXPECT_EQ(surface->Restore(), DDERR_WRONGMODE);
    EXPECT_EQ(surface->IsLost(), DDERR_SURFACELOST);
  }

  DDSURFACEDESC mode = CurrentMode();
  EXPECT_EQ(mode.dwWidth, 800u);
  EXPECT_EQ(mode.dwHeight, 600u);
  EXPECT_EQ(mode.ddpfPixelFormat.dwFlags, static_cast<DWORD>(DDPF_RGB));
  EXPECT_EQ(mode.ddpfPixelFormat.dwRGBBitCount, 16u);
  EXPECT_EQ(mode.ddpfPixelFormat.dwRBitMask, 0xF800u);
  EXPECT_EQ(mode.ddpfPixelFormat.dwGBitMask, 0x07E0u);
  EXPECT_EQ(mode.ddpfPixelFormat.dwBBitMask, 0x001Fu);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 600);

  // Made anew, surfaces work in the new mode; the old primary is let go first.
  primary->Release();
  IDirectDrawSurface2* newPrimary = MakePrimary();
  ASSERT_NE(newPrimary, nullptr);
  IDirectDrawSurface2* newPicture = MakeSurface(16, 16);
  EXPECT_EQ(FillColour(newPicture, nullptr, 0xF800), DD_OK);
  EXPECT_EQ(PixelAt(newPicture, 3, 3), 0xF800u);
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof desc;
  ASSERT_EQ(newPrimary->GetSurfaceDesc(&desc), DD_OK);
  EXPECT_EQ(desc.dwWidth, 800u);
  EXPECT_EQ(desc.ddpfPixelFormat.dwRBitMask, 0xF800u);
}

TEST_F(DisplayMode, InjectedLossEndsWithRestore) {
  IDirectDrawSurface2* picture = MakeSurface(4, 4);
  ASSERT_EQ(FillColour(picture, nullptr, 0x123456), DD_OK);
  TwlTestLoseSurfaces();
  EXPECT_EQ(FillColour(picture, nullptr, 0), DDERR_SURFACELOST);
  EXPECT_EQ(picture->Restore(), DD_OK);
  EXPECT_EQ(picture->IsLost(), DD_OK);
  EXPECT_EQ(PixelAt(picture, 1, 1), 0x123456u);
  EXPECT_EQ(FillColour(picture, nullptr, 0), DD_OK);
}

TEST_F(DisplayMode, SurfacesMadeAfterALossAreNotLost) {
  TwlTestLoseSurfaces();
  IDirectDrawSurface2* picture = MakeSurface(4, 4);
  EXPECT_EQ(picture->IsLost(), DD_OK);
}

TEST_F(DisplayMode, ThreadsBlittingWhileTheModeChangesSeeTheirSurfacesLost) {
  // Each thread uses its own surfaces, as each plug-in thread would under
  // the display lock; only the display mode is shared.
  IDirectDrawSurface2* sources[2] = {MakeSurface(64, 64), MakeSurface(64, 64)};
  IDirectDrawSurface2* targets[2] = {MakeSurface(64, 64), MakeSurface(64, 64)};
  std::atomic<int> started{0};
  HRESULT lastBlt[2] = {DD_OK, DD_OK};
  HRESULT restore[2] = {DD_OK, DD_OK};
  auto work = [&](int i) {
    ++started;
    HRESULT result = DD_OK;
    for (int n = 0; n < 1000000 && result == DD_OK; ++n)
      result = targets[i]->Blt(nullptr, sources[i], nullptr, DDBLT_WAIT, nullptr);
    lastBlt[i] = result;
    restore[i] = targets[i]->Restore();
  };
  std::thread first(work, 0);
  std::thread second(work, 1);
  while (started < 2) std::this_thread::yield();
  ASSERT_TRUE(TwlTestSetDisplayMode(800, 600, 16));
  first.join();
  second.join();
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(lastBlt[i], DDERR_SURFACELOST);
    EXPECT_EQ(restore[i], DDERR_WRONGMODE);
  }
}

TEST_F(DisplayMode, SetDisplayModeTakesOnlyOfferedModesAndGivesTheModeBack) {
  const TWLTEST_DISPLAYMODE offered[] = {{640, 480, 32, 60}, {800, 600, 16, 60}, {800, 600, 32, 75}};
  TwlTestSetDisplayModes(offered, 3);
  EXPECT_EQ(draw->SetDisplayMode(1024, 768, 32, 0, 0), DDERR_INVALIDMODE);
  EXPECT_EQ(draw->SetDisplayMode(800, 600, 24, 0, 0), DDERR_INVALIDMODE);
  EXPECT_EQ(draw->SetDisplayMode(800, 600, 32, 60, 0), DDERR_INVALIDMODE);
  EXPECT_EQ(draw->SetDisplayMode(800, 600, 16, 0, 1), DDERR_INVALIDPARAMS);
  ASSERT_EQ(draw->SetDisplayMode(800, 600, 16, 0, 0), DD_OK);
  EXPECT_EQ(CurrentMode().dwWidth, 800u);
  ASSERT_EQ(static_cast<IDirectDraw*>(draw)->SetDisplayMode(800, 600, 32), DD_OK);
  EXPECT_EQ(CurrentMode().dwRefreshRate, 75u);
  ASSERT_EQ(draw->RestoreDisplayMode(), DD_OK);
  EXPECT_EQ(CurrentMode().dwWidth, 640u);
  EXPECT_EQ(CurrentMode().ddpfPixelFormat.dwRGBBitCount, 32u);

  // An object that changed the mode gives it back when it goes.
  auto create = ddtest::DirectDrawExport<LPDIRECTDRAWCREATE>("DirectDrawCreate");
  LPDIRECTDRAW other = nullptr;
  ASSERT_EQ(create(nullptr, &other, nullptr), DD_OK);
  EXPECT_EQ(other->SetDisplayMode(800, 600, 16), DDERR_NOCOOPERATIVELEVELSET);
  ASSERT_EQ(other->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
  ASSERT_EQ(other->SetDisplayMode(800, 600, 16), DD_OK);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
  other->Release();
  EXPECT_EQ(CurrentMode().dwWidth, 640u);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 640);
}

TEST_F(DisplayMode, ExclusiveLevelBelongsToOneObjectWithAWindow) {
  HWND window = ddtest::MessageLog::MakeWindow(RECT{0, 0, 100, 100});
  ASSERT_NE(window, nullptr);
  const DWORD fullScreen = DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN;
  EXPECT_EQ(fullScreen, 17u);
  EXPECT_EQ(draw->SetCooperativeLevel(nullptr, fullScreen), DDERR_INVALIDPARAMS);
  EXPECT_EQ(draw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE), DDERR_INVALIDPARAMS);
  EXPECT_EQ(draw->SetCooperativeLevel(reinterpret_cast<HWND>(0x7FFFFFF0), DDSCL_NORMAL), DDERR_INVALIDPARAMS);
  ASSERT_EQ(draw->SetCooperativeLevel(window, fullScreen), DD_OK);

  auto create = ddtest::DirectDrawExport<LPDIRECTDRAWCREATE>("DirectDrawCreate");
  LPDIRECTDRAW other = nullptr;
  ASSERT_EQ(create(nullptr, &other, nullptr), DD_OK);
  EXPECT_EQ(other->SetCooperativeLevel(window, fullScreen), DDERR_EXCLUSIVEMODEALREADYSET);
  ASSERT_EQ(other->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
  EXPECT_EQ(other->SetDisplayMode(800, 600, 16), DDERR_NOEXCLUSIVEMODE);

  ASSERT_EQ(draw->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
  EXPECT_EQ(other->SetCooperativeLevel(window, fullScreen), DD_OK);
  other->Release();
  DestroyWindow(window);
}

TEST_F(DisplayMode, EnumDisplayModesListsTheOfferedModesInOrder) {
  const TWLTEST_DISPLAYMODE offered[] = {
      {1024, 768, 16, 60}, {800, 600, 32, 60}, {800, 600, 32, 75}, {640, 480, 8, 0}, {640, 350, 4, 0}};
  TwlTestSetDisplayModes(offered, 5);
  struct Seen {
    std::vector<std::tuple<DWORD, DWORD, DWORD, DWORD>> modes;
    size_t stopAfter = 100;
  };
  auto note = [](LPDDSURFACEDESC desc, LPVOID context) -> HRESULT {
    auto* seen = static_cast<Seen*>(context);
    seen->modes.emplace_back(desc->dwWidth, desc->dwHeight, desc->ddpfPixelFormat.dwRGBBitCount,
                             (desc->dwFlags & DDSD_REFRESHRATE) ? desc->dwRefreshRate : 0);
    return seen->modes.size() >= seen->stopAfter ? DDENUMRET_CANCEL : DDENUMRET_OK;
  };
  Seen all;
  ASSERT_EQ(draw->EnumDisplayModes(0, nullptr, &all, note), DD_OK);
  using Mode = std::tuple<DWORD, DWORD, DWORD, DWORD>;
  EXPECT_EQ(all.modes, (std::vector<Mode>{
                           {1024, 768, 16, 60}, {800, 600, 32, 60}, {800, 600, 32, 75}, {640, 480, 8, 0}, {640, 350, 4, 0}}));

  Seen wide;
  DDSURFACEDESC filter{};
  filter.dwSize = sizeof filter;
  filter.dwFlags = DDSD_WIDTH;
  filter.dwWidth = 800;
  ASSERT_EQ(draw->EnumDisplayModes(0, &filter, &wide, note), DD_OK);
  EXPECT_EQ(wide.modes.size(), 2u);

  Seen first;
  first.stopAfter = 1;
  ASSERT_EQ(draw->EnumDisplayModes(0, nullptr, &first, note), DD_OK);
  EXPECT_EQ(first.modes.size(), 1u);
  EXPECT_EQ(draw->EnumDisplayModes(0, nullptr, nullptr, nullptr), DDERR_INVALIDPARAMS);
}

TEST_F(DisplayMode, BuiltInModesReachUpToTheFirstModeAtEveryDepth) {
  std::vector<std::pair<DWORD, DWORD>> sizes;
  std::vector<DWORD> depthsOf640;
  struct Seen {
    std::vector<std::pair<DWORD, DWORD>>* sizes;
    std::vector<DWORD>* depths;
  } seen{&sizes, &depthsOf640};
  auto note = [](LPDDSURFACEDESC desc, LPVOID context) -> HRESULT {
    auto* s = static_cast<Seen*>(context);
    s->sizes->emplace_back(desc->dwWidth, desc->dwHeight);
    if (desc->dwWidth == 640) s->depths->push_back(desc->ddpfPixelFormat.dwRGBBitCount);
    return DDENUMRET_OK;
  };
  ASSERT_EQ(draw->EnumDisplayModes(0, nullptr, &seen, note), DD_OK);
  // The process started in 1024 x 768 (no TWL_DISPLAY in tests).
  EXPECT_EQ(sizes.front(), (std::pair<DWORD, DWORD>{640, 480}));
  EXPECT_EQ(sizes.back(), (std::pair<DWORD, DWORD>{1024, 768}));
  EXPECT_EQ(depthsOf640, (std::vector<DWORD>{8, 16, 24, 32}));
}

TEST_F(DisplayMode, CapsAreWhatTheTestSet) {
  DDCAPS driver{};
  driver.dwSize = sizeof driver;
  DDCAPS emulation{};
  emulation.dwSize = sizeof emulation;
  EXPECT_EQ(sizeof(DDCAPS), 316u);
  ASSERT_EQ(draw->GetCaps(&driver, &emulation), DD_OK);
  EXPECT_TRUE(driver.dwCaps & DDCAPS_COLORKEY);
  EXPECT_TRUE(driver.dwCKeyCaps & DDCKEYCAPS_SRCBLT);

  DDCAPS plain{};
  plain.dwCaps = DDCAPS_BLT;
  TwlTestSetDirectDrawCaps(&plain, nullptr);
  ASSERT_EQ(draw->GetCaps(&driver, &emulation), DD_OK);
  EXPECT_EQ(driver.dwCaps, static_cast<DWORD>(DDCAPS_BLT));
  EXPECT_EQ(driver.dwCKeyCaps, 0u);
  EXPECT_EQ(driver.dwSize, sizeof(DDCAPS));
  EXPECT_TRUE(emulation.dwCaps & DDCAPS_COLORKEY);

  EXPECT_EQ(draw->GetCaps(nullptr, nullptr), DDERR_INVALIDPARAMS);
  driver.dwSize = 100;
  EXPECT_EQ(draw->GetCaps(&driver, nullptr), DDERR_INVALIDPARAMS);
}

TEST_F(DisplayMode, EntryPointsRefuseWhatTheyCannotMake) {
  auto create = ddtest::DirectDrawExport<LPDIRECTDRAWCREATE>("DirectDrawCreate");
  auto createEx = ddtest::DirectDrawExport<LPDIRECTDRAWCREATEEX>("DirectDrawCreateEx");
  auto enumerate = ddtest::DirectDrawExport<LPDIRECTDRAWENUMERATEA>("DirectDrawEnumerateA");
  auto clipper = ddtest::DirectDrawExport<LPDIRECTDRAWCREATECLIPPER>("DirectDrawCreateClipper");
  ASSERT_TRUE(create && createEx && enumerate && clipper);

  GUID someDriver{0x12345678, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};
  LPDIRECTDRAW object = nullptr;
  EXPECT_EQ(create(&someDriver, &object, nullptr), DDERR_INVALIDDIRECTDRAWGUID);
  EXPECT_EQ(create(nullptr, &object, reinterpret_cast<IUnknown*>(draw)), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(object, nullptr);

  void* seventh = nullptr;
  EXPECT_EQ(createEx(nullptr, &seventh, IID_IDirectDraw2, nullptr), DDERR_INVALIDPARAMS);
  ASSERT_EQ(createEx(nullptr, &seventh, IID_IDirectDraw7, nullptr), DD_OK);
  void* second = nullptr;
  ASSERT_EQ(static_cast<IUnknown*>(seventh)->QueryInterface(IID_IDirectDraw2, &second), DD_OK);
  static_cast<IUnknown*>(second)->Release();
  static_cast<IUnknown*>(seventh)->Release();

  int drivers = 0;
  auto count = [](GUID* guid, LPSTR, LPSTR, LPVOID context) -> BOOL {
    ++*static_cast<int*>(context);
    return guid == nullptr;
  };
  ASSERT_EQ(enumerate(count, &drivers), DD_OK);
  EXPECT_EQ(drivers, 1);
  EXPECT_EQ(enumerate(nullptr, nullptr), DDERR_INVALIDPARAMS);

  LPDIRECTDRAWCLIPPER made = nullptr;
  EXPECT_EQ(clipper(1, &made, nullptr), DDERR_INVALIDPARAMS);
  ASSERT_EQ(clipper(0, &made, nullptr), DD_OK);
  made->Release();

  HMODULE input = LoadLibraryA("dinput.dll");
  ASSERT_NE(input, nullptr);
  EXPECT_NE(GetProcAddress(input, "DirectInputCreateA"), nullptr);
  TwlTestHideSystemExport("ddraw.dll", "DirectDrawCreateEx", TRUE);
  EXPECT_EQ(GetProcAddress(LoadLibraryA("ddraw.dll"), "DirectDrawCreateEx"), nullptr);
  TwlTestHideSystemExport("ddraw.dll", "DirectDrawCreateEx", FALSE);
}

// ---- the first mode, from TWL_DISPLAY, in a fresh process ------------------

// Exits 0 when the display started in the mode the arguments name:
// width, height, bit count, red mask (hex), palettized (0/1).
TWLTEST_CHILD(report_first_mode) {
  auto create = ddtest::DirectDrawExport<LPDIRECTDRAWCREATE>("DirectDrawCreate");
  LPDIRECTDRAW object = nullptr;
  if (!create || create(nullptr, &object, nullptr) != DD_OK) return 10;
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof desc;
  if (object->GetDisplayMode(&desc) != DD_OK) return 11;
  object->Release();
  const bool palettized = desc.ddpfPixelFormat.dwFlags & DDPF_PALETTEINDEXED8;
  if (desc.dwWidth != std::stoul(args.at(0)) || desc.dwHeight != std::stoul(args.at(1))) return 1;
  if (desc.ddpfPixelFormat.dwRGBBitCount != std::stoul(args.at(2))) return 2;
  if (desc.ddpfPixelFormat.dwRBitMask != std::stoul(args.at(3), nullptr, 16)) return 3;
  if (palettized != (args.at(4) == "1")) return 4;
  if (GetSystemMetrics(SM_CXSCREEN) != static_cast<int>(desc.dwWidth)) return 5;
  return 0;
}

TEST(FirstDisplayMode, ComesFromTwlDisplayWhenItIsSound) {
  struct Case {
    const char* value;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"800x600x15", {"800", "600", "16", "7C00", "0"}},
      {"800x600x16", {"800", "600", "16", "F800", "0"}},
      {"1280x1024x24", {"1280", "1024", "24", "FF0000", "0"}},
      {"640x480x8", {"640", "480", "8", "0", "1"}},
      {"", {"1024", "768", "32", "FF0000", "0"}},
      // Unsound values leave the default and say why on stderr.
      {"800x600", {"1024", "768", "32", "FF0000", "0"}},
      {"800x600x12", {"1024", "768", "32", "FF0000", "0"}},
      {"0x600x16", {"1024", "768", "32", "FF0000", "0"}},
      {"99999x600x16", {"1024", "768", "32", "FF0000", "0"}},
      {"800x600x16junk", {"1024", "768", "32", "FF0000", "0"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    setenv("TWL_DISPLAY", c.value, 1);
    int status = twltest::WaitChild(twltest::SpawnChild("report_first_mode", c.expected));
    unsetenv("TWL_DISPLAY");
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
  }
}

}  // namespace
