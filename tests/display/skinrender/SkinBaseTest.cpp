// The display state's keys, surfaces made from pictures with masks, colour
// keys and the substitute colour, the colour set and the font fallback.
#include <gtest/gtest.h>

#include <memory>

#include "FontFixture.h"
#include "RenderFixture.h"
#include "display/skinrender/DDSkinBase.h"
#include "display/skinrender/DDSkinColorSet.h"
#include "display/skinrender/DDSkinFontSet.h"
#include "display/skinrender/DDWriter.h"
#include "foundation/bitmaps/BitmapFont.h"
#include "skins/base/SkinPointers.h"
#include "skins/masks/Mask.h"
#include "skins/sets/SkinColorSet.h"
#include "skins/sets/SkinFontSet.h"

using namespace rendertest;

namespace {

struct Surface {
  IDirectDrawSurface2* surface = nullptr;
  ~Surface() {
    if (surface) surface->Release();
  }
};

MaskPtr MakeMask(int width, int height, BYTE value) {
  MaskPtr mask(new CMask);
  mask->Create(width, height);
  std::memset(mask->GetBytes(), value, static_cast<size_t>(width) * height);
  return mask;
}

bool HasSourceKey(IDirectDrawSurface2* surface, DWORD key) {
  DDCOLORKEY value{};
  return surface->GetColorKey(DDCKEY_SRCBLT, &value) == DD_OK && value.dwColorSpaceLowValue == key &&
         value.dwColorSpaceHighValue == key;
}

}  // namespace

TEST(DisplayState, KeyIsTheLowestBitOfTheWidestChannel) {
  const struct {
    int depth;
    DWORD key;
    const char* why;
  } cases[] = {
      {16, 0x20, "5-6-5: green has six bits"},
      {15, 0x20, "5-5-5: a tie goes to green"},
      {24, 0x100, "8-8-8: a tie goes to green"},
      {32, 0x100, "8-8-8: a tie goes to green"},
  };
  for (const auto& row : cases) {
    ASSERT_TRUE(TwlTestSetDisplayMode(640, 480, row.depth));
    IDirectDraw2* draw = OpenDirectDraw();
    CDisplayState state;
    ASSERT_EQ(state.Init(draw), DD_OK);
    draw->Release();
    EXPECT_EQ(state.GetColorKey(), row.key) << row.why;
    EXPECT_EQ(state.GetSubstituteColor(), 0u) << row.why;
    EXPECT_EQ(state.GetBytesPerPixel(), static_cast<DWORD>((row.depth + 7) / 8)) << row.why;
  }
}

TEST(DisplayState, EightBitPaletteHoldsTheFixedColoursAndMapsKeyGreenToBlack) {
  ASSERT_TRUE(TwlTestSetDisplayMode(640, 480, 8));
  IDirectDraw2* draw = OpenDirectDraw();
  CDisplayState state;
  ASSERT_EQ(state.Init(draw), DD_OK);
  draw->Release();
  CColorTable colors;
  colors.Setup(5, 6, 5, 16);
  colors.MarkCell(colors.GetCellOffset(0x3366CC));
  colors.MarkCell(colors.GetCellOffset(CDisplayState::kKeyColor));
  state.BuildPalette(colors);
  const auto& entries = state.GetPaletteEntries();
  for (int i = 0; i < CDisplayState::kFixedColorCount; ++i)
    EXPECT_EQ(entries[CDisplayState::kFirstFixedColor + i], CDisplayState::kFixedColors[i]) << i;
  EXPECT_EQ(entries[8], CDisplayState::kFreeEntry);
  EXPECT_EQ(entries[CDisplayState::kKeyIndex], CDisplayState::kFreeEntry) << "the key entry is never a colour";
  EXPECT_EQ(state.GetColorKey(), 10u);
  EXPECT_NE(state.GetPalette(), nullptr);
  EXPECT_EQ(entries[state.GetSubstituteColor()], 0u) << "the substitute colour is black";
  EXPECT_EQ(entries[state.ConvertColor(CDisplayState::kKeyColor)], 0u) << "green 1 shows black";
  EXPECT_EQ(entries[state.ConvertColor(0x3366CC)] & 0xF8FCF8, 0x3366CCu & 0xF8FCF8) << "a skin colour has its own entry";
}

TEST(DisplayState, RefusesModesWithoutRGBAndPalettesBelowEightBits) {
  const auto format = [](DWORD flags, DWORD bits) {
    DDPIXELFORMAT made{};
    made.dwSize = sizeof made;
    made.dwFlags = flags;
    made.dwRGBBitCount = bits;
    return made;
  };
  const struct {
    DDPIXELFORMAT format;
    const char* why;
  } cases[] = {
      {format(DDPF_RGB | DDPF_PALETTEINDEXED4, 4), "a 16-colour palette"},
      {format(DDPF_PALETTEINDEXED8, 8), "a palette of 8 bits without DDPF_RGB"},
      {format(DDPF_YUV, 16), "YUV"},
      {format(DDPF_FOURCC, 32), "a FourCC format"},
  };
  for (const auto& row : cases) {
    ASSERT_TRUE(TwlTestSetDisplayPixelFormat(640, 480, &row.format)) << row.why;
    IDirectDraw2* draw = OpenDirectDraw();
    CDisplayState state;
    EXPECT_EQ(state.Init(draw), DDERR_UNSUPPORTEDMODE) << row.why;
    EXPECT_EQ(state.GetDirectDraw(), nullptr) << row.why << ": nothing is kept";
    EXPECT_EQ(state.GetColorTable(), nullptr) << row.why;
    EXPECT_EQ(state.ConvertColor(0xFFFFFF), 0u) << row.why << ": no converter";
    draw->Release();
  }
  ASSERT_TRUE(TwlTestSetDisplayMode(640, 480, 8));
  IDirectDraw2* draw = OpenDirectDraw();
  CDisplayState state;
  EXPECT_EQ(state.Init(draw), DD_OK) << "a palette of 8 bits with DDPF_RGB";
  draw->Release();
}

TEST(DisplayState, EightBitPaletteKeepsTheSystemColoursAtBothEndsAndFreesTheEntriesBeside) {
  ASSERT_TRUE(TwlTestSetDisplayMode(640, 480, 8));
  IDirectDraw2* draw = OpenDirectDraw();
  CDisplayState state;
  ASSERT_EQ(state.Init(draw), DD_OK);
  draw->Release();
  CColorTable colors;
  colors.Setup(5, 6, 5, 16);
  colors.MarkCell(colors.GetCellOffset(0x204060));
  state.BuildPalette(colors);
  HDC display = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  PALETTEENTRY system[256]{};
  ASSERT_EQ(GetSystemPaletteEntries(display, 0, 256, system), 256u);
  DeleteDC(display);
  const auto& entries = state.GetPaletteEntries();
  for (int i : {0, 1, 7, 248, 255}) {
    const DWORD colour = system[i].peRed | system[i].peGreen << 8 | system[i].peBlue << 16;
    EXPECT_EQ(entries[i], colour) << i;
  }
  for (int i : {8, 9, 246, 247}) EXPECT_EQ(entries[i], CDisplayState::kFreeEntry) << i;
}

TEST(DisplayState, AnotherModeReplacesTheKeptDescriptionAndItsColourTable) {
  ASSERT_TRUE(TwlTestSetDisplayMode(640, 480, 8));
  IDirectDraw2* draw = OpenDirectDraw();
  CDisplayState state;
  ASSERT_EQ(state.Init(draw), DD_OK);
  DDSURFACEDESC mode{};
  mode.dwSize = sizeof mode;
  mode.ddpfPixelFormat.dwSize = sizeof mode.ddpfPixelFormat;
  ASSERT_EQ(draw->GetDisplayMode(&mode), DD_OK);
  EXPECT_FALSE(state.HasModeChanged(mode));
  EXPECT_NE(state.GetColorTable(), nullptr);
  ASSERT_TRUE(TwlTestSetDisplayMode(800, 600, 16));
  ASSERT_EQ(draw->GetDisplayMode(&mode), DD_OK);
  EXPECT_TRUE(state.HasModeChanged(mode));
  ASSERT_EQ(state.SetMode(mode), DD_OK);
  EXPECT_EQ(state.GetModeWidth(), 800u);
  EXPECT_EQ(state.GetColorTable(), nullptr) << "RGB modes have no colour table";
  EXPECT_EQ(state.ConvertColor(0x0000FF), 0xF800u) << "red in 5-6-5";
  draw->Release();
}

class CreateSurface : public RenderTest {};

TEST_F(CreateSurface, MasksKeysAndTheSubstituteColourDecideTransparency) {
  for (int depth : {16, 32}) {
    UseDisplay(640, 480, depth);
    const DWORD key = display.GetColorKey();
    const DWORD white = display.ConvertColor(0xFFFFFF);
    // Green 1 (32 bits) or green 4 (16 bits) is exactly the display key.
    const DWORD keyColour = depth == 32 ? 0x000100 : 0x000400;
    ASSERT_EQ(display.ConvertColor(keyColour), key);
    BitmapPtr picture(MakePicture(2, 2, {0xFFFFFF, keyColour, 0x0000FF, 0xFFFFFF}));

    const struct {
      BYTE maskValue;  // 2: no mask
      bool useKey;
      std::vector<DWORD> expected;
      bool sourceKey;
      const char* why;
    } cases[] = {
        {2, false, {white, 0, display.ConvertColor(0xFF), white}, false, "opaque: the key value became black"},
        {0, false, {key, key, key, key}, true, "an all-0 mask hides everything"},
        {1, false, {white, 0, display.ConvertColor(0xFF), white}, true, "an all-1 mask keeps the picture, key set"},
        {2, true, {white, 0, display.ConvertColor(0xFF), white}, false, "a picture without key stays opaque"},
    };
    for (const auto& row : cases) {
      MaskPtr mask = row.maskValue == 2 ? nullptr : MakeMask(2, 2, row.maskValue);
      Surface made;
      ASSERT_EQ(CDDSkinBase::CreateSurface(*picture, mask.get(), &made.surface, row.useKey), DD_OK) << row.why;
      EXPECT_EQ(ReadSurface(made.surface), row.expected) << depth << ": " << row.why;
      EXPECT_EQ(HasSourceKey(made.surface, key), row.sourceKey) << depth << ": " << row.why;
    }
  }
}

TEST_F(CreateSurface, KeyedBlitOfAnOpaquePictureHoldingTheKeyLeavesNoHole) {
  const DWORD key = display.GetColorKey();
  BitmapPtr picture(MakePicture(2, 1, {0x000100, 0x000100}));
  Surface made;
  ASSERT_EQ(CDDSkinBase::CreateSurface(*picture, MakeMask(2, 1, 1).get(), &made.surface, false), DD_OK);
  IDirectDrawSurface2* target = MakeTarget(2, 1, 0x123456);
  ASSERT_EQ(target->Blt(nullptr, made.surface, nullptr, DDBLT_KEYSRC | DDBLT_WAIT, nullptr), DD_OK);
  EXPECT_EQ(ReadSurface(target), (std::vector<DWORD>{0, 0})) << "key " << key << " was replaced by black";
}

TEST_F(CreateSurface, OwnColourKeyBecomesTransparentAndBottomUpRowsComeTopFirst) {
  BitmapPtr picture(MakePicture(1, 3, {0x0000FF, 0x00FF00, 0x000100}, false));
  picture->SetColorKeyFlag(true);
  picture->SetColorKey(0x00FF00);
  Surface made;
  ASSERT_EQ(CDDSkinBase::CreateSurface(*picture, nullptr, &made.surface, true), DD_OK);
  const DWORD key = display.GetColorKey();
  const std::vector<DWORD> pixels = ReadSurface(made.surface);
  ASSERT_EQ(pixels.size(), 3u);
  EXPECT_EQ(pixels[0], display.ConvertColor(0x0000FF)) << "the image's top row first";
  EXPECT_EQ(pixels[1], key) << "the picture's key colour";
  EXPECT_NE(pixels[2], key) << "no other colour may become the key";
  EXPECT_TRUE(HasSourceKey(made.surface, key));
}

TEST_F(CreateSurface, FailureLeavesNoSurfaceAndWithoutDisplayNothingIsTried) {
  BitmapPtr picture(MakePicture(1, 1, {0}));
  Surface made;
  TwlTestLockDisplay(TRUE);
  EXPECT_EQ(CDDSkinBase::CreateSurface(*picture, nullptr, &made.surface, false), DDERR_UNSUPPORTEDMODE);
  TwlTestLockDisplay(FALSE);
  EXPECT_EQ(made.surface, nullptr);
  CDisplayState::SetCurrent(nullptr);
  EXPECT_EQ(CDDSkinBase::CreateSurface(*picture, nullptr, &made.surface, false), CDDSkinBase::kNoDisplay);
  EXPECT_EQ(made.surface, nullptr);
}

TEST_F(CreateSurface, ColourSetKeepsBothFormsAndReleaseClearsThem) {
  UseDisplay(640, 480, 16);
  CSkinColorSet colors;
  colors.m_Colors[5] = 0x0000FF;
  colors.m_Colors[32] = 0xFF0000;
  CDDSkinColorSet set;
  EXPECT_EQ(set.Create(colors), DD_OK);
  EXPECT_TRUE(set.IsCreated());
  EXPECT_EQ(set.GetSourceColor(5), 0x0000FFu);
  EXPECT_EQ(set.GetColor(5), 0xF800u) << "red in 5-6-5";
  EXPECT_EQ(set.GetColor(32), 0x001Fu) << "blue in 5-6-5";
  EXPECT_EQ(set.GetColor(33), 0u);
  set.Release();
  EXPECT_FALSE(set.IsCreated());
  EXPECT_EQ(set.GetSourceColor(5), 0u);
}


TEST_F(CreateSurface, FontFallbackFollowsTheParentChain) {
  const struct {
    std::vector<int> present;
    int asked;
    int expected;  // -1: none
  } cases[] = {
      {{0, 3}, 4, 3},     {{0}, 1, 0}, {{0}, 2, 0}, {{0}, 3, 0}, {{0}, 4, 0},
      {{0}, 5, 0},        {{1}, 3, 1}, {{1}, 2, -1}, {{1}, 5, -1}, {{0, 2}, 5, 2},
      {{0, 1, 2}, 4, 1},  {{}, 0, -1},
  };
  for (const auto& row : cases) {
    CSkinFontSet fonts;
    for (int index : row.present) fonts.m_Fonts[index] = MakeFont(2, 3, 4 + index);
    CDDSkinFontSet set;
    ASSERT_EQ(set.Create(fonts), DD_OK);
    EXPECT_TRUE(set.IsCreated());
    CDDWriter* writer = set.GetFont(row.asked);
    if (row.expected < 0) {
      EXPECT_EQ(writer, nullptr) << "font " << row.asked;
      continue;
    }
    ASSERT_NE(writer, nullptr) << "font " << row.asked;
    EXPECT_EQ(writer->GetHeight(), 4 + row.expected) << "font " << row.asked << " gives font " << row.expected;
  }
}

TEST_F(CreateSurface, FontSetFailureReleasesEveryWriter) {
  CSkinFontSet fonts;
  fonts.m_Fonts[0] = MakeFont(2, 3, 4);
  fonts.m_Fonts[1] = MakeFont(2, 3, 5);
  CDDSkinFontSet set;
  TwlTestLockDisplay(TRUE);
  EXPECT_EQ(set.Create(fonts), DDERR_UNSUPPORTEDMODE);
  TwlTestLockDisplay(FALSE);
  EXPECT_FALSE(set.IsCreated());
  EXPECT_EQ(set.GetFont(0), nullptr);
}

namespace {

// A surface that offers no IDirectDrawSurface2, as an old driver's might;
// every other call goes to a real surface. Counts its references.
struct FirstInterfaceOnly : IDirectDrawSurface {
  IDirectDrawSurface* inner;
  ULONG references = 1;
  explicit FirstInterfaceOnly(IDirectDrawSurface* surface) : inner(surface) {}
  HRESULT QueryInterface(REFIID, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return ++references; }
  ULONG Release() override {
    if (--references == 0) inner->Release();
    return references;
  }
  HRESULT Blt(LPRECT d, IDirectDrawSurface* s, LPRECT r, DWORD f, LPDDBLTFX fx) override {
    return inner->Blt(d, s, r, f, fx);
  }
  HRESULT BltFast(DWORD x, DWORD y, IDirectDrawSurface* s, LPRECT r, DWORD f) override {
    return inner->BltFast(x, y, s, r, f);
  }
  HRESULT GetCaps(LPDDSCAPS caps) override { return inner->GetCaps(caps); }
  HRESULT GetClipper(LPDIRECTDRAWCLIPPER* clipper) override { return inner->GetClipper(clipper); }
  HRESULT GetColorKey(DWORD flags, LPDDCOLORKEY key) override { return inner->GetColorKey(flags, key); }
  HRESULT GetDC(HDC* dc) override { return inner->GetDC(dc); }
  HRESULT GetPixelFormat(LPDDPIXELFORMAT format) override { return inner->GetPixelFormat(format); }
  HRESULT GetSurfaceDesc(LPDDSURFACEDESC desc) override { return inner->GetSurfaceDesc(desc); }
  HRESULT IsLost() override { return inner->IsLost(); }
  HRESULT Lock(LPRECT rect, LPDDSURFACEDESC desc, DWORD flags, HANDLE event) override {
    return inner->Lock(rect, desc, flags, event);
  }
  HRESULT ReleaseDC(HDC dc) override { return inner->ReleaseDC(dc); }
  HRESULT Restore() override { return inner->Restore(); }
  HRESULT SetClipper(LPDIRECTDRAWCLIPPER clipper) override { return inner->SetClipper(clipper); }
  HRESULT SetColorKey(DWORD flags, LPDDCOLORKEY key) override { return inner->SetColorKey(flags, key); }
  HRESULT Unlock(LPVOID pointer) override { return inner->Unlock(pointer); }
};

struct OldDriver : DirectDrawWrapper {
  using DirectDrawWrapper::DirectDrawWrapper;
  std::vector<std::unique_ptr<FirstInterfaceOnly>> made;
  HRESULT CreateSurface(LPDDSURFACEDESC desc, LPDIRECTDRAWSURFACE* surface, IUnknown* outer) override {
    IDirectDrawSurface* real = nullptr;
    if (HRESULT result = inner->CreateSurface(desc, &real, outer); FAILED(result)) return result;
    made.push_back(std::make_unique<FirstInterfaceOnly>(real));
    *surface = made.back().get();
    return DD_OK;
  }
};

}  // namespace

TEST_F(CreateSurface, SurfaceWithoutTheSecondInterfaceFailsTheBuildAndIsReleased) {
  OldDriver driver(display.GetDirectDraw());
  CDisplayState old;
  ASSERT_EQ(old.Init(&driver), DD_OK);
  CDisplayState::SetCurrent(&old);
  BitmapPtr picture(MakePicture(1, 1, {0}));
  Surface made;
  EXPECT_EQ(CDDSkinBase::CreateSurface(*picture, nullptr, &made.surface, false), E_NOINTERFACE);
  EXPECT_EQ(made.surface, nullptr);
  std::unique_ptr<CBitmapFont> font(MakeFont(3, 2, 2));
  CDDWriter writer;
  EXPECT_EQ(writer.Create(*font), E_NOINTERFACE) << "no glyph surface is left empty to be locked";
  EXPECT_EQ(writer.GetSurfaceCount(), 0);
  ASSERT_EQ(driver.made.size(), 2u);
  for (const auto& surface : driver.made) EXPECT_EQ(surface->references, 0u);
  CDisplayState::SetCurrent(&display);
}

TEST_F(CreateSurface, MaskSmallerThanThePictureCoversOnlyWhatItShares) {
  BitmapPtr picture(MakePicture(3, 2, std::vector<DWORD>(6, 0xFFFFFF)));
  Surface made;
  ASSERT_EQ(CDDSkinBase::CreateSurface(*picture, MakeMask(1, 1, 0).get(), &made.surface, false), DD_OK);
  const DWORD key = display.GetColorKey(), white = display.ConvertColor(0xFFFFFF);
  EXPECT_EQ(ReadSurface(made.surface), (std::vector<DWORD>{key, white, white, white, white, white}));
}
