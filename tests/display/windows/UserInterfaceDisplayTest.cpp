// The user interface's display: what its start brings up and logs, modes
// it cannot draw in, the back buffer made on demand, the restoration of
// lost surfaces and the display lock.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "DisplayFixture.h"
#include "display/state/DisplayLock.h"
#include "foundation/errors/ThreadErrorState.h"
#include "foundation/kernel/ClassManager.h"
#include "foundation/kernel/Error.h"
#include "twlwin/testing.h"

using namespace displaytest;

namespace {

DWORD SurfaceWidth(IDirectDrawSurface2* surface) {
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof desc;
  surface->GetSurfaceDesc(&desc);
  return desc.dwWidth;
}

class UserInterfaceDisplay : public DisplayTest {};

}  // namespace

TEST(DisplayClasses, AreRegisteredUnderTheirNamesOnTheirBases) {
  const struct {
    const char* name;
    const char* base;
    bool creatable;
  } cases[] = {
      {"CUserInterface", "CTypedObject", true},
      {"CPrimaryBlitter", "CTypedObject", true},
      {"CWindowOwner", "CTypedObject", false},
      {"CWindow", "CWindowOwner", false},
  };
  // Keeps the classes' files linked into the test program.
  const CClassRecord* linked[] = {&CUserInterface::ClassRecord, &CPrimaryBlitter::ClassRecord,
                                  &CWindowOwner::ClassRecord, &CWindow::ClassRecord};
  EXPECT_EQ(linked[0], GetClassManager().FindClass("CUserInterface"));
  for (const auto& c : cases) {
    const CClassRecord* record = GetClassManager().FindClass(c.name);
    const CClassRecord* base = GetClassManager().FindClass(c.base);
    ASSERT_NE(record, nullptr) << c.name;
    ASSERT_NE(base, nullptr) << c.base;
    ASSERT_GE(record->depth, 2u) << c.name;
    EXPECT_EQ(record->ancestors[1], base->GetClassId()) << c.name << " registers directly on " << c.base;
    EXPECT_EQ(record->create != nullptr, c.creatable) << c.name;
    EXPECT_EQ(record->constructInPlace != nullptr, c.creatable) << c.name;
  }
}

TEST_F(UserInterfaceDisplay, StartBringsUpTheSurfacesAndInstallsTheDisplayState) {
  EXPECT_EQ(CDisplayState::GetCurrent(), &ui().GetDisplayState());
  EXPECT_EQ(CDisplaySurfaces::GetCurrent(), static_cast<CDisplaySurfaces*>(&ui()));
  EXPECT_NE(ui().GetDisplayState().GetDirectDraw(), nullptr);
  EXPECT_NE(ui().GetPrimarySurface(), nullptr);
  EXPECT_FALSE(ui().IsDisplayUnsupported());
  EXPECT_TRUE(ui().GetPrimaryBlitter().IsInitialized());
  EXPECT_FALSE(ui().GetPrimaryBlitter().IsConversionActive());
  EXPECT_EQ(ui().GetMode(), 0);
  EXPECT_FALSE(ui().GetDDSkin().IsLoaded());
  EXPECT_NE(ui().GetMessageWindowHandle(), nullptr);
  const std::string text = log.Text();
  EXPECT_NE(text.find("initializing DirectDraw...done\n"), std::string::npos) << text;
  EXPECT_NE(text.find("display mode: 1024 x 768 x 32\n"), std::string::npos) << text;
  EXPECT_NE(text.find("creating primary surface...done\n"), std::string::npos) << text;

  ui().ExitDisplay();
  EXPECT_EQ(CDisplayState::GetCurrent(), nullptr);
  EXPECT_EQ(CDisplaySurfaces::GetCurrent(), nullptr);
  EXPECT_EQ(ui().GetPrimarySurface(), nullptr);
  EXPECT_NE(log.Text().find("deinitializing DirectDraw...done\n"), std::string::npos);
}

TEST_F(UserInterfaceDisplay, ClipListIsOneRectangleOfTheBackBuffer) {
  const RGNDATA* list = ui().GetClipList();
  EXPECT_EQ(list->rdh.dwSize, 32u);
  EXPECT_EQ(list->rdh.iType, static_cast<DWORD>(RDH_RECTANGLES));
  EXPECT_EQ(list->rdh.nCount, 1u);
  EXPECT_EQ(list->rdh.nRgnSize, 16u);
  const RECT whole{0, 0, 640, 480};
  EXPECT_TRUE(EqualRect(&list->rdh.rcBound, &whole));
  RECT first{};
  std::memcpy(&first, list->Buffer, sizeof first);
  EXPECT_TRUE(EqualRect(&first, &whole));

  // The clipper holds the list and the back buffer carries the clipper.
  DWORD size = 0;
  ASSERT_EQ(ui().GetClipper()->GetClipList(nullptr, nullptr, &size), DD_OK);
  EXPECT_EQ(size, 48u);
  IDirectDrawClipper* attached = nullptr;
  ASSERT_EQ(ui().GetBackBuffer()->GetClipper(&attached), DD_OK);
  EXPECT_EQ(attached, ui().GetClipper());
  attached->Release();
}

TEST_F(UserInterfaceDisplay, BackBufferIsMadeOnDemandAtItsFixedSize) {
  IDirectDrawSurface2* first = ui().GetBackBuffer();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(SurfaceWidth(first), 640u);
  EXPECT_EQ(ui().GetBackBuffer(), first) << "one back buffer for every window";
  ui().DestroyBackBuffer();
  IDirectDrawSurface2* again = ui().GetBackBuffer();
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(SurfaceWidth(again), 640u);

  // When it cannot be made, the reason is the thread's error.
  ui().DestroyBackBuffer();
  TwlTestLockDisplay(TRUE);
  EXPECT_EQ(ui().GetBackBuffer(), nullptr);
  EXPECT_EQ(GetThreadErrorState()->type, static_cast<DWORD>(THREAD_ERROR_DIRECTDRAW));
  EXPECT_EQ(GetThreadErrorState()->code, static_cast<DWORD>(DDERR_UNSUPPORTEDMODE));
  TwlTestLockDisplay(FALSE);
  EXPECT_NE(ui().GetBackBuffer(), nullptr);
}

TEST_F(UserInterfaceDisplay, ModesWithoutRGBOrWithFewerThanEightBitsAreLoggedAndGetNoPrimarySurface) {
  const struct {
    DDPIXELFORMAT format;
    const char* line;
  } cases[] = {
      {Format(DDPF_RGB | DDPF_PALETTEINDEXED4, 4),
       "unsupported display mode (800 x 600 x 4, palette=true, RGB=true, YUV=false)\n"},
      {Format(DDPF_PALETTEINDEXED8, 8),
       "unsupported display mode (800 x 600 x 8, palette=true, RGB=false, YUV=false)\n"},
      {Format(DDPF_YUV, 16), "unsupported display mode (800 x 600 x 16, palette=false, RGB=false, YUV=true)\n"},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.line);
    ui().ExitDisplay();
    log.Clear();
    ASSERT_TRUE(TwlTestSetDisplayPixelFormat(800, 600, &row.format));
    ui().InitDisplay();
    EXPECT_TRUE(ui().IsDisplayUnsupported());
    EXPECT_EQ(ui().GetPrimarySurface(), nullptr);
    bool found = false;
    for (const auto& entry : log.Entries())
      if (entry.text == row.line) found = entry.category == 0x400;
    EXPECT_TRUE(found) << log.Text();
    EXPECT_NE(log.Text().find("creating primary surface...failed (unsupported display mode)\n"), std::string::npos);
    EXPECT_FALSE(ui().CreatePrimarySurface());
    EXPECT_EQ(GetThreadErrorState()->type, static_cast<DWORD>(THREAD_ERROR_GENERAL));
    EXPECT_STREQ(GetThreadErrorState()->text, "Unsupported display mode.");
    // An unchanged mode keeps its verdict.
    ui().InitDisplayModeData();
    EXPECT_TRUE(ui().IsDisplayUnsupported());
  }
}

TEST_F(UserInterfaceDisplay, ModeDataIsTakenAgainOnlyWhenTheModeChanged) {
  DDSURFACEDESC mode{};
  EXPECT_FALSE(ui().HasDisplayModeChanged(&mode));
  EXPECT_EQ(mode.dwWidth, 1024u);
  ui().InitDisplayModeData();
  EXPECT_EQ(Count(log.Text(), "display mode: "), 1);

  ASSERT_TRUE(TwlTestSetDisplayMode(800, 600, 8));
  EXPECT_TRUE(ui().HasDisplayModeChanged(&mode));
  ui().InitDisplayModeData();
  EXPECT_EQ(Count(log.Text(), "display mode: "), 2);
  EXPECT_NE(log.Text().find("display mode: 800 x 600 x 8\n"), std::string::npos);
  EXPECT_EQ(ui().GetDisplayState().GetModeWidth(), 800u);
  EXPECT_EQ(ui().GetDisplayState().GetColorKey(), 10u);
  EXPECT_TRUE(ui().GetPrimaryBlitter().IsConversionActive()) << "the blitter hears of the new format";
  EXPECT_NE(ui().GetPrimaryBlitter().GetConvertSurface(), nullptr);
}

TEST_F(UserInterfaceDisplay, LostSurfacesAreRestoredAndAModeChangeRemakesThem) {
  TwlTestLoseSurfaces();
  EXPECT_EQ(ui().GetPrimarySurface()->IsLost(), DDERR_SURFACELOST);
  IDirectDrawSurface2* primary = ui().GetPrimarySurface();
  EXPECT_TRUE(ui().RestoreSurfaces());
  EXPECT_EQ(ui().GetPrimarySurface(), primary) << "restored, not remade";
  EXPECT_EQ(primary->IsLost(), DD_OK);
  EXPECT_EQ(ui().GetBackBuffer()->IsLost(), DD_OK);
  EXPECT_FALSE(ui().AreSurfacesLost());
  std::string text = log.Text();
  EXPECT_NE(text.find(" --------Restoring surfaces--------\n"), std::string::npos) << text;
  EXPECT_NE(text.find("restoring primary surface...done\n"), std::string::npos) << text;
  EXPECT_NE(text.find("restoring window back buffer...done\n"), std::string::npos) << text;
  EXPECT_NE(text.find(" --------all surfaces restored-------- ("), std::string::npos) << text;

  log.Clear();
  ASSERT_TRUE(TwlTestSetDisplayMode(800, 600, 16));
  EXPECT_TRUE(ui().RestoreSurfaces());
  text = log.Text();
  EXPECT_NE(text.find("can't restore primary surface - it will be recreated.\n"), std::string::npos) << text;
  EXPECT_NE(text.find("can't restore window back buffer - it will be recreated.\n"), std::string::npos) << text;
  EXPECT_NE(text.find("display mode: 800 x 600 x 16\n"), std::string::npos) << text;
  DDPIXELFORMAT format{};
  format.dwSize = sizeof format;
  ASSERT_EQ(ui().GetPrimarySurface()->GetPixelFormat(&format), DD_OK);
  EXPECT_EQ(format.dwRGBBitCount, 16u);
  ASSERT_EQ(ui().GetBackBuffer()->GetPixelFormat(&format), DD_OK);
  EXPECT_EQ(format.dwRGBBitCount, 16u);
}

TEST_F(UserInterfaceDisplay, AFailedRestorationLeavesTheSurfacesLostUntilOneSucceeds) {
  ASSERT_TRUE(TwlTestSetDisplayMode(800, 600, 32));
  TwlTestLockDisplay(TRUE);
  EXPECT_FALSE(ui().RestoreSurfaces());
  EXPECT_TRUE(ui().AreSurfacesLost());
  EXPECT_NE(log.Text().find(" --------RESTORING SURFACES FAILED--------\n\n"), std::string::npos) << log.Text();
  TwlTestLockDisplay(FALSE);
  EXPECT_TRUE(ui().RestoreSurfaces());
  EXPECT_FALSE(ui().AreSurfacesLost());
}

namespace {

// A main window that asks for another restoration twice while one runs.
class AskingWindow : public CWindow {
 public:
  bool RestoreSurfaces() override {
    ++restorations;
    if (restorations == 1) {
      GetUserInterface().RestoreSurfaces();
      PostMessageA(GetUserInterface().GetMessageWindowHandle(), CUserInterface::kRestoreSurfacesMessage, 0, 0);
    }
    return CWindow::RestoreSurfaces();
  }
  int restorations = 0;
};

}  // namespace

TEST_F(UserInterfaceDisplay, RequestsDuringARestorationLeadToOneMoreAfterIt) {
  AskingWindow window;
  ui().SetMainWindow(0, &window);
  EXPECT_TRUE(ui().RestoreSurfaces());
  EXPECT_EQ(window.restorations, 1);
  TwlTestPumpMessages();
  EXPECT_EQ(window.restorations, 2);
  EXPECT_EQ(Count(log.Text(), " --------Restoring surfaces--------"), 2);
  ui().SetMainWindow(0, nullptr);
}

TEST(UserInterfaceStart, WithoutDirectDrawTheStartFailsAndLeavesNothing) {
  twltest::RecordingLogFront log;
  TwlTestHideSystemLibrary("ddraw.dll", TRUE);
  CUserInterface& ui = GetUserInterface();
  CError* caught = nullptr;
  try {
    ui.InitDisplay();
  } catch (CError* error) {
    caught = error;
  }
  ASSERT_NE(caught, nullptr);
  DisposeError(caught);
  EXPECT_EQ(ui.GetMessageWindowHandle(), nullptr);
  EXPECT_EQ(CDisplayState::GetCurrent(), nullptr);
  bool logged = false;
  for (const auto& entry : log.Entries())
    if (entry.text.rfind("failed (", 0) == 0) logged = entry.category == 0x100;
  EXPECT_TRUE(logged) << log.Text();
  TwlTestHideSystemLibrary("ddraw.dll", FALSE);
}

TEST(DisplayLock, ReentersOnOneThreadAndKeepsOthersOutUntilLeftAsOftenAsEntered) {
  EXPECT_EQ(CDisplayLock::GetDepth(), 0);
  CDisplayLock::Enter();
  CDisplayLock::Enter();
  EXPECT_EQ(CDisplayLock::GetDepth(), 2);
  std::atomic<bool> entered{false};
  std::thread other([&] {
    DisplayLockScope lock;
    EXPECT_EQ(CDisplayLock::GetDepth(), 1) << "each thread counts its own holding";
    entered = true;
  });
  CDisplayLock::Leave();
  EXPECT_EQ(CDisplayLock::GetDepth(), 1);
  // Still held once: the other thread cannot have entered.
  for (int i = 0; i < 50; ++i) std::this_thread::yield();
  EXPECT_FALSE(entered.load());
  CDisplayLock::Leave();
  other.join();
  EXPECT_TRUE(entered.load());
  EXPECT_EQ(CDisplayLock::GetDepth(), 0);
}
