// The skin instance built from the built-in skin: the background against
// its picture, what the descriptions give up, shared control windows, the
// palette of an 8-bit display and an all-or-nothing build.
#include <gtest/gtest.h>

#include <string>

#include "../../skins/support/SkinTestSupport.h"
#include "RenderFixture.h"
#include "display/skinrender/DDSkin.h"
#include "display/skinrender/DDWriter.h"
#include "skins/bars/BarData.h"
#include "skins/masks/Mask.h"
#include "skins/skin/Skin.h"
#include "support/TestPaths.h"

using namespace rendertest;

namespace {

void LoadBuiltin(CSkin& skin) {
  HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(131), "RAWDATA");
  ASSERT_NE(resource, nullptr);
  const char* bytes = static_cast<const char*>(LockResource(LoadResource(nullptr, resource)));
  skintest::BytesStream stream(std::string(bytes, SizeofResource(nullptr, resource)));
  skin.LoadCompiled(*stream);
}

// A picture of the built-in skin folder as 0x00BBGGRR, top row first.
std::vector<DWORD> BuiltinPicture(const char* name, DWORD& width) {
  CDIBitmap picture;
  picture.Load((twltest::SourceDir() + "/resources/skins/builtin/" + name).c_str());
  CPixelFormat rgb;
  rgb.SetMasks(32, 0xFF, 0xFF00, 0xFF0000);
  picture.SetColorKeyFlag(false);
  picture.ChangeFormat(rgb, nullptr, 1, 0);
  width = picture.GetWidth();
  const DWORD* pixels = reinterpret_cast<const DWORD*>(picture.GetPixels());
  return std::vector<DWORD>(pixels, pixels + static_cast<size_t>(width) * picture.GetHeight());
}

// Reduces a colour 0x00BBGGRR to the display pixel of 32-bit 8-8-8 or
// 16-bit 5-6-5, by hand.
DWORD Pixel(DWORD colour, int depth) {
  const DWORD r = colour & 0xFF, g = colour >> 8 & 0xFF, b = colour >> 16 & 0xFF;
  return depth == 32 ? r << 16 | g << 8 | b : (r >> 3) << 11 | (g >> 2) << 5 | b >> 3;
}

// Fails CreateSurface for surfaces of one size, passing every other call on.
struct FailingDirectDraw : DirectDrawWrapper {
  SIZE failing;
  HRESULT code;
  int failures = 0;
  FailingDirectDraw(IDirectDraw2* draw, SIZE size, HRESULT result)
      : DirectDrawWrapper(draw), failing(size), code(result) {}
  HRESULT CreateSurface(LPDDSURFACEDESC desc, LPDIRECTDRAWSURFACE* surface, IUnknown* outer) override {
    if (static_cast<LONG>(desc->dwWidth) == failing.cx && static_cast<LONG>(desc->dwHeight) == failing.cy) {
      ++failures;
      return code;
    }
    return inner->CreateSurface(desc, surface, outer);
  }
};

}  // namespace

class Skin : public RenderTest {};

TEST_F(Skin, BuiltinBackgroundIsThePictureInsideTheWindowMaskAndTheKeyOutside) {
  for (int depth : {32, 16}) {
    UseDisplay(800, 600, depth);
    CSkin skin;
    LoadBuiltin(skin);
    CDDSkin built;
    ASSERT_EQ(built.Create(skin), DD_OK);
    ASSERT_TRUE(built.IsLoaded());
    CDDMainWindowSkin& main = built.GetMainWindowSkin(0);
    DWORD width = 0;
    const std::vector<DWORD> picture = BuiltinPicture("MainWindowNormal.bmp", width);
    const CMask* mask = main.GetMask(1);
    ASSERT_NE(mask, nullptr);
    ASSERT_EQ(static_cast<DWORD>(main.GetSize().cx), width);
    const std::vector<DWORD> surface = ReadSurface(main.GetAnimation().GetBaseSurface());
    ASSERT_EQ(surface.size(), picture.size());
    size_t inside = 0, wrong = 0;
    for (size_t i = 0; i < picture.size(); ++i) {
      const bool in = mask->GetBytes()[i] != 0;
      inside += in;
      const DWORD expected = in ? Pixel(picture[i], depth) : display.GetColorKey();
      wrong += surface[i] != expected;
    }
    EXPECT_GT(inside, picture.size() / 2);
    EXPECT_EQ(wrong, 0u) << depth << " bits";
  }
}

TEST_F(Skin, DescriptionsGiveUpMasksAndScriptedBarPictures) {
  CSkin skin;
  LoadBuiltin(skin);
  CDDSkin built;
  ASSERT_EQ(built.Create(skin), DD_OK);
  for (int mode = 0; mode < 3; ++mode) {
    CMainWindowSkin& description = *skin.GetMainWindowSkin(mode);
    EXPECT_EQ(description.GetMask(0), nullptr) << mode;
    EXPECT_EQ(description.GetMask(1), nullptr) << mode;
    for (int index = 0; index < CMainWindowSkin::kButtonCount; ++index) {
      EXPECT_EQ(description.GetButton(index).GetMask(), nullptr) << mode << " button " << index;
      EXPECT_EQ(description.GetAnimButton(index).GetMask(), nullptr) << mode << " button " << index;
    }
    for (int index = 0; index < CMainWindowSkin::kBarCount; ++index)
      EXPECT_EQ(description.GetBar(index).GetMask(), nullptr) << mode << " bar " << index;
  }
  CDDBarSkin& volume = *built.GetMainWindowSkin(0).GetBar(CMainWindowSkin::kVolumeBar);
  ASSERT_TRUE(volume.IsCreated());
  ASSERT_NE(volume.GetBarData(), nullptr) << "the built-in volume bar has a script";
  EXPECT_EQ(volume.GetBarData()->GetSegmentCount(), CDDBarSkin::kVolumeSteps);
  EXPECT_EQ(volume.GetSurface(), nullptr);
  ASSERT_NE(volume.GetBitmap(), nullptr);
  EXPECT_TRUE(volume.GetBitmap()->GetFormat().HasSameLayout(display.GetFormat()));
  EXPECT_EQ(skin.GetMainWindowSkin(0)->GetBar(CMainWindowSkin::kVolumeBar).GetBitmap(), nullptr);
  EXPECT_NE(built.GetAuxWindowSkin().GetCaptionWriter(built), nullptr);
  EXPECT_NE(built.GetMainWindowSkin(0).GetFont(5, built), nullptr);
}

TEST_F(Skin, ModesWithoutAControlWindowShareModeZerosRenderer) {
  CSkin withoutSmall;
  LoadBuiltin(withoutSmall);
  withoutSmall.GetControlWindowSkin(1)->Clear();
  CDDSkin built;
  ASSERT_EQ(built.Create(withoutSmall), DD_OK);
  EXPECT_EQ(&built.GetControlWindowSkin(1), &built.GetControlWindowSkin(0));
  EXPECT_EQ(&built.GetControlWindowSkin(2), &built.GetControlWindowSkin(0));

  built.Release();
  CSkin full;
  LoadBuiltin(full);
  ASSERT_NE(full.GetControlWindowSkin(1), nullptr);
  ASSERT_EQ(built.Create(full), DD_OK);
  EXPECT_NE(&built.GetControlWindowSkin(1), &built.GetControlWindowSkin(0)) << "the small mode has its own";
  EXPECT_EQ(&built.GetControlWindowSkin(2), &built.GetControlWindowSkin(0));
  EXPECT_NE(built.GetControlWindowSkin(1).GetPart(1), nullptr);
  // The control window has no fonts of its own: the skin-wide ones serve.
  EXPECT_EQ(&built.GetControlWindowSkin(0).GetFontSet(built), &built.GetFontSet());
  EXPECT_TRUE(built.GetControlWindowSkin(0).GetColorSet().IsCreated());
}

TEST_F(Skin, MainWindowFontsFallBackToTimeFontOneThenToTheNormalFont) {
  CSkin skin;
  LoadBuiltin(skin);
  CDDSkin built;
  ASSERT_EQ(built.Create(skin), DD_OK);
  const CDDMainWindowSkin& main = built.GetMainWindowSkin(0);
  ASSERT_NE(main.GetOwnFont(1), nullptr) << "the built-in skin has time font 1";
  for (int index = 2; index <= 5; ++index)
    if (!main.GetOwnFont(index)) {
      EXPECT_EQ(main.GetFont(index, built), main.GetOwnFont(1)) << index;
    }
  CDDMainWindowSkin bare;
  EXPECT_EQ(bare.GetFont(3, built), built.GetFontSet().GetFont(0));
  EXPECT_EQ(bare.GetFont(0, built), built.GetFontSet().GetFont(0));
}

TEST_F(Skin, EightBitBuildMakesThePaletteFirst) {
  UseDisplay(800, 600, 8);
  CSkin skin;
  LoadBuiltin(skin);
  CDDSkin built;
  ASSERT_EQ(built.Create(skin), DD_OK);
  const auto& entries = display.GetPaletteEntries();
  for (int i = 0; i < CDisplayState::kFixedColorCount; ++i)
    EXPECT_EQ(entries[CDisplayState::kFirstFixedColor + i], CDisplayState::kFixedColors[i]) << i;
  EXPECT_NE(entries[CDisplayState::kFirstSkinColor], CDisplayState::kFreeEntry) << "the skin's colours follow";
  // The info text colour is among the skin's colours, so it has an entry of
  // its own (to within the 5-6-5 table).
  const DWORD colour = built.GetColorSet().GetSourceColor(0);
  EXPECT_EQ(entries[built.GetColorSet().GetColor(0)] & 0xF8FCF8, colour & 0xF8FCF8);
}

TEST_F(Skin, FailureWhileBuildingTheMiniModeLeavesNothingBuilt) {
  CSkin skin;
  LoadBuiltin(skin);
  const CDIBitmap* mini = skin.GetMainWindowSkin(2)->GetAnimation().GetBase();
  const SIZE miniSize{static_cast<LONG>(mini->GetWidth()), static_cast<LONG>(mini->GetHeight())};
  for (int mode = 0; mode < 2; ++mode) {
    const CDIBitmap* other = skin.GetMainWindowSkin(mode)->GetAnimation().GetBase();
    ASSERT_FALSE(other->GetWidth() == mini->GetWidth() && other->GetHeight() == mini->GetHeight());
  }
  FailingDirectDraw failing(display.GetDirectDraw(), miniSize, DDERR_OUTOFVIDEOMEMORY);
  CDisplayState broken;
  ASSERT_EQ(broken.Init(&failing), DD_OK);
  CDisplayState::SetCurrent(&broken);
  CDDSkin built;
  EXPECT_EQ(built.Create(skin), DDERR_OUTOFVIDEOMEMORY);
  EXPECT_EQ(failing.failures, 1);
  EXPECT_FALSE(built.IsLoaded());
  for (int mode = 0; mode < 3; ++mode) EXPECT_FALSE(built.GetMainWindowSkin(mode).IsCreated()) << mode;
  EXPECT_FALSE(built.GetColorSet().IsCreated());
  EXPECT_FALSE(built.GetFontSet().IsCreated());
  EXPECT_EQ(built.GetAuxWindowSkin().GetPart(0), nullptr);
  CDisplayState::SetCurrent(&display);
}
