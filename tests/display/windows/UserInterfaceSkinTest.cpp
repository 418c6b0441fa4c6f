// The user interface's skin and display on top of its display start: the
// built-in skin built and measured, full-screen modes, a display another
// desktop holds, display changes, the colour-key capability and the
// main windows' part in the shut-down.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <thread>
#include <vector>

#include "DisplayFixture.h"
#include "display/skinrender/DDWriter.h"
#include "display/state/DisplayLock.h"
#include "foundation/appcore/SettingsKey.h"
#include "foundation/errors/ThreadErrorState.h"
#include "support/TestPaths.h"
#include "twlwin/testing.h"

using namespace displaytest;

namespace {

class UserInterfaceSkin : public DisplayTest {
 protected:
  void SetUp() override {
    DisplayTest::SetUp();
    ui().SetSkinName(CUserInterface::kDefaultSkinName);
  }
  void TearDown() override {
    TwlTestLockDisplay(FALSE);
    TwlTestSetDisplayModes(nullptr, 0);
    ui().ExitSkin();
    DisplayTest::TearDown();
  }

  static void StoreFullscreenMode(DWORD width, DWORD height, DWORD bits) {
    HKEY settings = nullptr;
    ASSERT_TRUE(OpenSettingsKey(KEY_SET_VALUE | KEY_CREATE_SUB_KEY, &settings));
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(settings, "DefaultFullscreenMode", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    for (const auto& [name, value] : {std::pair{"Width", width}, {"Height", height}, {"BPP", bits}})
      RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
    RegCloseKey(settings);
  }
};

}  // namespace

TEST_F(UserInterfaceSkin, FullscreenModesListTheUsableOnesOnceInTheirOrder) {
  const TWLTEST_DISPLAYMODE offered[] = {
      {1024, 768, 32, 60}, {800, 600, 16, 60}, {800, 600, 16, 75}, {640, 350, 8, 0},  {1024, 768, 4, 0},
      {800, 600, 32, 60},  {640, 480, 8, 0},   {800, 600, 32, 85}, {1024, 768, 16, 0},
  };
  TwlTestSetDisplayModes(offered, static_cast<int>(std::size(offered)));
  StoreFullscreenMode(1280, 1024, 32);
  ui().InitFullscreenModes();
  const std::vector<FullscreenMode> expected = {
      {0, 0, 0}, {640, 480, 8}, {800, 600, 32}, {800, 600, 16}, {1024, 768, 32}, {1024, 768, 16},
  };
  EXPECT_EQ(ui().GetFullscreenModes(), expected);
  EXPECT_EQ(ui().GetFullscreenModeIndex(), 0) << "a stored mode no longer offered";
  int warnings = 0;
  for (const auto& entry : log.Entries())
    if (entry.text ==
        "WARNING: preferred full-screen mode is not available anymore. Switching back to default full-screen mode.\n")
      warnings += entry.category == 0x10000 ? 1 : 100;
  EXPECT_EQ(warnings, 1) << log.Text();

  ui().SetFullscreenMode(2);
  ui().InitFullscreenModes();
  EXPECT_EQ(ui().GetFullscreenModeIndex(), 2) << "the choice is kept";
  EXPECT_EQ(ui().FindFullscreenMode(800, 600, 24), -1);
  StoreFullscreenMode(0, 0, 0);
  ui().InitFullscreenModes();
  EXPECT_EQ(ui().GetFullscreenModeIndex(), 0);
}

TEST_F(UserInterfaceSkin, ALockedDisplayCountsAsUnsupportedUntilItIsFree) {
  TwlTestLockDisplay(TRUE);
  ui().InitDisplayModeData();
  EXPECT_TRUE(ui().IsDisplayUnsupported());
  bool logged = false;
  for (const auto& entry : log.Entries())
    if (entry.text == "cannot access display (might be locked)\n") logged = entry.category == 0x400;
  EXPECT_TRUE(logged) << log.Text();
  EXPECT_FALSE(ui().InitSkin()) << "no skin surfaces on a display out of reach";
  EXPECT_NE(log.Text().find("Initializing skin...failed (unsupported display mode)\n"), std::string::npos);
  TwlTestLockDisplay(FALSE);
  ui().InitDisplayModeData();
  EXPECT_FALSE(ui().IsDisplayUnsupported());
}

TEST_F(UserInterfaceSkin, ADisplayChangeRestoresOnceAndRebuildsTheSkin) {
  ASSERT_TRUE(ui().InitSkin());
  ASSERT_TRUE(ui().GetDDSkin().IsLoaded());
  ui().OnDisplayChange();
  EXPECT_EQ(Count(log.Text(), " --------Restoring surfaces--------\n"), 0) << "the mode did not change";

  ASSERT_TRUE(TwlTestSetDisplayMode(800, 600, 16));
  ui().OnDisplayChange();
  const std::string text = log.Text();
  EXPECT_EQ(Count(text, " --------Restoring surfaces--------\n"), 1) << text;
  EXPECT_EQ(Count(text, " --------all surfaces restored-------- ("), 1) << text;
  const size_t header = text.find(" --------Restoring surfaces--------");
  const size_t skin = text.find("skin initialization done\n", header);
  const size_t footer = text.find(" --------all surfaces restored-------- (");
  EXPECT_LT(header, skin);
  EXPECT_LT(skin, footer) << "the skin is rebuilt inside the restoration";
  EXPECT_NE(text.find(" ms)\n\n", footer), std::string::npos);
  EXPECT_TRUE(ui().GetDDSkin().IsLoaded());
  EXPECT_FALSE(ui().AreSurfacesLost());
}

TEST_F(UserInterfaceSkin, TextIsMeasuredWithTheSkinsFontsAndWithoutOneIsOne) {
  SkinControlStyle style;
  EXPECT_FALSE(ui().GetSkinControlStyle(&style));
  EXPECT_EQ(style.fonts[0], nullptr);
  EXPECT_EQ(ui().GetFontHeight(2), 1);
  EXPECT_EQ(ui().GetTextWidth(2, "Play"), 1);

  ASSERT_TRUE(ui().InitSkin());
  ASSERT_TRUE(ui().GetSkinControlStyle(&style));
  const char* texts[] = {"OK", "Cancel", nullptr};
  int width = 0;
  int height = 0;
  ASSERT_TRUE(ui().MeasureTextExtent(style, 3, texts, &width, &height, 10, 4));
  int widest = 0;
  int tallest = 0;
  for (CDDWriter* font : style.fonts) {
    ASSERT_NE(font, nullptr);
    tallest = std::max(tallest, static_cast<int>(font->GetHeight()));
    widest = std::max({widest, static_cast<int>(font->GetTextWidth("OK")), static_cast<int>(font->GetTextWidth("Cancel"))});
  }
  EXPECT_GT(widest, 1);
  EXPECT_EQ(width, widest + 10);
  EXPECT_EQ(height, tallest + 4);

  SkinControlStyle missing = style;
  missing.fonts[2] = nullptr;
  EXPECT_FALSE(ui().MeasureTextExtent(missing, 3, texts, &width, &height, 10, 4));
  EXPECT_EQ(width, 1);
  EXPECT_EQ(height, 1);
  EXPECT_EQ(ui().GetControlFont(1), nullptr);
  EXPECT_EQ(GetThreadErrorState()->type, static_cast<DWORD>(THREAD_ERROR_MISC));
  EXPECT_EQ(GetThreadErrorState()->code, static_cast<DWORD>(MISC_ERROR_INVALID_PARAM));
}

TEST(UserInterfaceColorKey, HardwareKeyingNeedsTheDriversSourceKeyAndOneWayToBlitKeyed) {
  const DWORD key = DDCAPS_COLORKEY;
  const DWORD src = DDCKEYCAPS_SRCBLT;
  const struct Case {
    const char* what;
    DWORD caps, keyCaps, svbCaps, svbKeyCaps, vsbCaps, emuCaps, emuKeyCaps;
    bool expected;
  } cases[] = {
      {"no driver keying", 0, src, key, src, 0, 0, 0, false},
      {"system to video keyed", key, src, key, src, 0, 0, 0, true},
      {"emulated keying and video to system blits", key, src, 0, 0, DDCAPS_BLT, key, src, true},
      {"emulated keying and overlays", key | DDCAPS_OVERLAY, src, 0, 0, 0, key, src, true},
      {"emulated keying alone", key, src, 0, 0, 0, key, src, false},
      {"neither way", key, src, key, 0, DDCAPS_BLT, 0, 0, false},
  };
  twltest::RecordingLogFront log;
  CUserInterface& ui = GetUserInterface();
  for (const Case& c : cases) {
    DDCAPS driver{};
    driver.dwCaps = c.caps;
    driver.dwCKeyCaps = c.keyCaps;
    driver.dwSVBCaps = c.svbCaps;
    driver.dwSVBCKeyCaps = c.svbKeyCaps;
    driver.dwVSBCaps = c.vsbCaps;
    DDCAPS emulation{};
    emulation.dwCaps = c.emuCaps;
    emulation.dwCKeyCaps = c.emuKeyCaps;
    TwlTestSetDirectDrawCaps(&driver, &emulation);
    ui.InitDirectDraw();
    EXPECT_EQ(ui.HasHardwareColorKey(), c.expected) << c.what;
    ui.ExitDirectDraw();
  }
  TwlTestSetDirectDrawCaps(nullptr, nullptr);
}

namespace {

// A main window that listens to information records and must let go of
// them before they are freed.
class ListeningWindow : public CWindow {
 public:
  explicit ListeningWindow(std::vector<int>& prepared, int index) : m_Prepared(prepared), m_Index(index) {}
  void PrepareExit() override { m_Prepared.push_back(m_Index); }
  void Destroy() override {
    destroyed = true;
    CWindow::Destroy();
  }
  inline static bool destroyed = false;

 private:
  std::vector<int>& m_Prepared;
  int m_Index;
};

}  // namespace

TEST(UserInterfaceExit, MainWindowsPrepareFromTheLastAndAreDestroyedAndDeleted) {
  twltest::RecordingLogFront log;
  CUserInterface& ui = GetUserInterface();
  std::vector<int> prepared;
  ui.SetMainWindow(0, new ListeningWindow(prepared, 0));
  ui.SetMainWindow(3, new ListeningWindow(prepared, 3));
  ui.PrepareExit();
  EXPECT_EQ(prepared, (std::vector<int>{3, 0}));
  ui.Exit();
  EXPECT_TRUE(ListeningWindow::destroyed);
  for (int index = 0; index < CUserInterface::kMainWindowCount; ++index) EXPECT_EQ(ui.GetMainWindow(index), nullptr);
  EXPECT_NE(log.Text().find("deinitializing skin...done\n"), std::string::npos) << log.Text();
}

// A plug-in's thread reads the display and the skin under the display lock
// while the user-interface thread restores everything after mode changes.
TEST_F(UserInterfaceSkin, AnotherThreadReadsTheDisplayWhileItIsRestored) {
  ASSERT_TRUE(ui().InitSkin());
  std::atomic<bool> done{false};
  std::atomic<int> reads{0};
  std::thread reader([&] {
    do {
      {
        DisplayLockScope lock;
        const CDisplayState* display = CDisplayState::GetCurrent();
        ASSERT_NE(display, nullptr);
        const DWORD width = display->GetModeWidth();
        EXPECT_TRUE(width == 1024 || width == 800) << width;
        (void)display->GetColorKey();
        (void)display->GetPixelFormat().dwRGBBitCount;
        SkinControlStyle style;
        if (ui().GetSkinControlStyle(&style)) {
          EXPECT_GT(style.fonts[0]->GetHeight(), 0);
        }
      }
      (void)ui().AreSurfacesLost();
      ++reads;
    } while (!done.load());
  });
  for (int round = 0; round < 3; ++round) {
    ASSERT_TRUE(TwlTestSetDisplayMode(round % 2 ? 1024 : 800, round % 2 ? 768 : 600, round % 2 ? 32 : 16));
    EXPECT_TRUE(ui().RestoreSurfaces());
  }
  done = true;
  reader.join();
  EXPECT_GT(reads.load(), 0);
  EXPECT_EQ(Count(log.Text(), " --------all surfaces restored-------- ("), 3);
}

namespace {

// A top-level window that counts the palette changes it hears of.
class PaletteListener : public CWindow {
 public:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_PALETTECHANGED) ++changes;
    return CWindow::WindowProc(message, wParam, lParam);
  }
  int changes = 0;
};

}  // namespace

TEST_F(UserInterfaceSkin, AnEightBitSkinRealisesItsPaletteAndTheWindowsHearOfIt) {
  UseDisplay(800, 600, 8);
  PaletteListener window;
  window.Create("Listener", "", kClassName, WS_POPUP, 0, 0, 0, 40, 40, nullptr, nullptr);
  ASSERT_TRUE(ui().InitSkin());
  EXPECT_GE(window.changes, 1);
  // The realised palette is on the screen: the system palette holds the
  // first fixed colour.
  HDC screen = GetDC(nullptr);
  PALETTEENTRY entries[256]{};
  const UINT count = GetSystemPaletteEntries(screen, 0, 256, entries);
  ReleaseDC(nullptr, screen);
  bool found = false;
  for (UINT at = 0; at < count; ++at)
    found |= entries[at].peRed == 0xC0 && entries[at].peGreen == 0 && entries[at].peBlue == 0;
  EXPECT_TRUE(found);
  window.Destroy();
}

namespace {

// A copy of the built-in skin's folder, without its mini main window when
// asked.
std::string CopyBuiltinSkin(const std::string& hint, bool withMini) {
  const std::string folder = twltest::MakeTempDir(hint.c_str()) + "/skin/";
  std::filesystem::copy(twltest::SourceDir() + "/resources/skins/builtin", folder);
  if (!withMini)
    for (const auto& entry : std::filesystem::directory_iterator(folder))
      if (entry.path().filename().string().rfind("MiniMainWindow", 0) == 0) std::filesystem::remove(entry.path());
  return folder;
}

std::string StoredSkinName() {
  HKEY key = nullptr;
  if (!OpenSettingsKey(KEY_QUERY_VALUE, &key)) return "<no key>";
  char text[1024] = {};
  DWORD size = sizeof text;
  const LONG result = RegQueryValueExA(key, "Skin", nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size);
  RegCloseKey(key);
  return result == ERROR_SUCCESS ? text : "<none>";
}

}  // namespace

TEST_F(UserInterfaceSkin, ChangingTheSkinBuildsItCompletesItsMiniModeAndStoresIt) {
  const std::string full = CopyBuiltinSkin("fullskin", true);
  const std::string noMini = CopyBuiltinSkin("nomini", false);
  for (const std::string& folder : {full, noMini}) {
    ui().ChangeSkin(folder.c_str());
    EXPECT_EQ(std::string(ui().GetSkinName().c_str()), folder);
    EXPECT_EQ(StoredSkinName(), folder);
    EXPECT_TRUE(ui().GetDDSkin().IsLoaded()) << folder;
    EXPECT_TRUE(ui().GetDDSkin().GetMainWindowSkin(2).IsCreated()) << folder << ": the mini main window";
    EXPECT_FALSE(ui().IsChangingSkin());
  }
  // A skin that cannot be read gives way to the built-in one.
  ui().ChangeSkin((full + "nowhere/").c_str());
  EXPECT_EQ(std::string(ui().GetSkinName().c_str()), "<default>");
  EXPECT_EQ(StoredSkinName(), "<default>");
  EXPECT_TRUE(ui().GetDDSkin().IsLoaded());
  EXPECT_NE(log.Text().find("\nThe default skin will be used instead...\n\n"), std::string::npos) << log.Text();
}

TEST_F(UserInterfaceSkin, MinimizeAllMinimizesEveryMainWindowOnceAndRestoreAllBringsThemBack) {
  auto* main = new CWindow;
  auto* options = new CWindow;
  main->Create("Main", "", kClassName, WS_POPUP | WS_VISIBLE, 0, 0, 0, 40, 40, nullptr, nullptr);
  options->Create("Options", "", kClassName, WS_POPUP | WS_VISIBLE, 0, 50, 0, 40, 40, nullptr, nullptr);
  ui().SetMainWindow(0, main);
  ui().SetMainWindow(4, options);
  EXPECT_FALSE(ui().ShowWindowByIndex(2, true)) << "no file browser";
  EXPECT_TRUE(ui().ShowWindowByIndex(4, true));

  ui().MinimizeAll(true);
  EXPECT_TRUE(ui().IsMinimized());
  EXPECT_TRUE(ui().IsMinimizedToTray());
  EXPECT_TRUE(main->IsMinimized());
  EXPECT_TRUE(options->IsMinimized());
  ui().MinimizeAll(false);
  EXPECT_FALSE(ui().IsMinimizedToTray()) << "minimized again, now to the taskbar";

  ui().RestoreAll();
  EXPECT_FALSE(ui().IsMinimized());
  EXPECT_FALSE(main->IsMinimized());
  EXPECT_FALSE(options->IsMinimized());
  ui().DestroyWindows();
  EXPECT_EQ(ui().GetMainWindow(0), nullptr);
}
