// The primary blitter: its three states, the palette translation table of
// an 8-bit display, copies through the conversion surface in pieces, keyed
// copies, copies onto a device context and the conversion surface after a
// loss.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "DisplayFixture.h"
#include "foundation/bitmaps/ColorTable.h"

using namespace displaytest;

namespace {

// Passes every call to a real surface and notes the rectangles of Blt.
struct RecordingSurface : IDirectDrawSurface2 {
  explicit RecordingSurface(IDirectDrawSurface2* surface) : inner(surface) {}
  HRESULT QueryInterface(REFIID iid, void** object) override { return inner->QueryInterface(iid, object); }
  ULONG AddRef() override { return 2; }
  ULONG Release() override { return 1; }
  HRESULT Blt(LPRECT destination, IDirectDrawSurface* source, LPRECT sourceRect, DWORD flags,
              LPDDBLTFX fx) override {
    targets.push_back(*destination);
    sources.push_back(*sourceRect);
    return inner->Blt(destination, source, sourceRect, flags, fx);
  }
  HRESULT BltFast(DWORD x, DWORD y, IDirectDrawSurface* source, LPRECT sourceRect, DWORD flags) override {
    return inner->BltFast(x, y, source, sourceRect, flags);
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

  IDirectDrawSurface2* inner;
  std::vector<RECT> targets;
  std::vector<RECT> sources;
};

class PrimaryBlitter : public DisplayTest {
 protected:
  void SetUp() override { UseDisplay(1024, 768, 8); }
  void TearDown() override {
    for (IDirectDrawSurface2* surface : made_) surface->Release();
    DisplayTest::TearDown();
  }

  IDirectDrawSurface2* Make(DWORD width, DWORD height) {
    IDirectDrawSurface2* surface = nullptr;
    EXPECT_EQ(ui().GetDisplayState().CreateOffscreenSurface(width, height, &surface), DD_OK);
    made_.push_back(surface);
    return surface;
  }

  // Byte i of each row of the source is (x * 7 + y) % 256.
  static void FillPattern(IDirectDrawSurface2* surface) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    ASSERT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_WRITEONLY, nullptr), DD_OK);
    for (DWORD y = 0; y < desc.dwHeight; ++y)
      for (DWORD x = 0; x < desc.dwWidth; ++x)
        static_cast<BYTE*>(desc.lpSurface)[y * desc.lPitch + x] = static_cast<BYTE>((x * 7 + y) % 256);
    surface->Unlock(nullptr);
  }

  static std::vector<BYTE> Read(IDirectDrawSurface2* surface) {
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    std::vector<BYTE> bytes;
    if (FAILED(surface->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr))) return bytes;
    for (DWORD y = 0; y < desc.dwHeight; ++y)
      for (DWORD x = 0; x < desc.dwWidth; ++x) bytes.push_back(static_cast<BYTE*>(desc.lpSurface)[y * desc.lPitch + x]);
    surface->Unlock(nullptr);
    return bytes;
  }

  CPrimaryBlitter& blitter() { return ui().GetPrimaryBlitter(); }

 private:
  std::vector<IDirectDrawSurface2*> made_;
};

}  // namespace

TEST_F(PrimaryBlitter, PixelFormatsDecideBetweenDirectConvertedAndUnsupportedForGood) {
  CPrimaryBlitter own;
  EXPECT_EQ(own.Init(Format(DDPF_RGB, 32)), DD_OK);
  EXPECT_FALSE(own.IsConversionActive());
  EXPECT_EQ(own.GetConvertSurface(), nullptr);
  EXPECT_EQ(own.Setup(Format(DDPF_RGB | DDPF_PALETTEINDEXED8, 8)), DD_OK);
  EXPECT_TRUE(own.IsConversionActive());
  ASSERT_NE(own.GetConvertSurface(), nullptr);
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof desc;
  own.GetConvertSurface()->GetSurfaceDesc(&desc);
  EXPECT_EQ(desc.dwWidth, 320u);
  EXPECT_EQ(desc.dwHeight, 200u);
  EXPECT_NE(log.Text().find("creating 8 bit conversion surface...done\n"), std::string::npos) << log.Text();

  // A 4-bit or a palette without RGB fails every copy until the end.
  IDirectDrawSurface2* source = Make(8, 8);
  IDirectDrawSurface2* target = Make(8, 8);
  const RECT all{0, 0, 8, 8};
  for (const DDPIXELFORMAT& format : {Format(DDPF_RGB | DDPF_PALETTEINDEXED4, 4), Format(DDPF_RGB, 32)}) {
    own.Setup(format);
    EXPECT_TRUE(own.IsUnsupported());
    EXPECT_EQ(own.Blt(target, 0, 0, source, all, DDBLT_WAIT, nullptr), E_FAIL);
    EXPECT_EQ(own.CopyToSurface(target, 0, 0, source, all), E_FAIL);
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(own.BltToDC(dc, 0, 0, source, all, SRCCOPY), E_FAIL);
    DeleteDC(dc);
  }
  CPrimaryBlitter other;
  other.Init(Format(DDPF_PALETTEINDEXED8, 8));
  EXPECT_TRUE(other.IsUnsupported()) << "an 8-bit palette without DDPF_RGB";
}

TEST_F(PrimaryBlitter, ASystemPaletteWithRoomToSpareKeepsItsFirstUnusedEntryForTheKey) {
  TwlTestSetSystemPaletteSize(236);
  blitter().BuildPaletteMap();
  EXPECT_EQ(blitter().GetKeyIndex(), 236);
  const auto& table = blitter().GetPaletteTranslationTable();
  for (int index = 236; index < 256; ++index) EXPECT_EQ(table[index], 0) << index;
  EXPECT_EQ(table[10], 236) << "the display's key entry becomes the key";
  for (int index = 0; index < 236; ++index)
    if (index != 10) {
      EXPECT_NE(table[index], 236) << "no colour turns into the key: " << index;
    }
}

TEST_F(PrimaryBlitter, AFullSystemPaletteGivesUpItsDarkestEntryForTheKeyAndMapsColoursToTheNearest) {
  CColorTable colors;
  colors.Setup(5, 6, 5, 16);
  colors.MarkCell(colors.GetCellOffset(0x3868F8));
  // The display's palette alone: the user interface would realise it.
  ui().GetDisplayState().BuildPalette(colors);
  blitter().BuildPaletteMap();
  // Not realised, the system palette holds its twenty static colours and
  // black between them: entry 10 is the first black after entry 0.
  EXPECT_EQ(blitter().GetKeyIndex(), 10);
  const auto& table = blitter().GetPaletteTranslationTable();
  EXPECT_EQ(table[0], 0) << "black, the system's own entry 0";
  EXPECT_EQ(table[255], 255) << "white, the system's own entry 255";
  EXPECT_EQ(table[11], 252) << "blue 192 is nearest to the static blue 255, not to blue 128";
  EXPECT_EQ(table[10], 10) << "the display's key entry becomes the key";
  for (int index = 0; index < 256; ++index)
    if (index != 10) {
      EXPECT_NE(table[index], 10) << "no colour turns into the key: " << index;
    }
}

TEST_F(PrimaryBlitter, A700By450CopyGoesInNinePiecesAndEveryByteIsTranslated) {
  IDirectDrawSurface2* source = Make(700, 450);
  FillPattern(source);
  IDirectDrawSurface2* target = Make(760, 500);
  RecordingSurface recorder(target);
  const RECT all{0, 0, 700, 450};
  ASSERT_EQ(blitter().Blt(&recorder, 30, 40, source, all, 0, nullptr), DD_OK);
  const LONG widths[] = {320, 320, 60};
  const LONG heights[] = {200, 200, 50};
  ASSERT_EQ(recorder.targets.size(), 9u);
  size_t piece = 0;
  LONG top = 40;
  for (LONG height : heights) {
    LONG left = 30;
    for (LONG width : widths) {
      const RECT target{left, top, left + width, top + height};
      const RECT converted{0, 0, width, height};
      EXPECT_TRUE(EqualRect(&recorder.targets[piece], &target)) << "piece " << piece;
      EXPECT_TRUE(EqualRect(&recorder.sources[piece], &converted)) << "piece " << piece;
      ++piece;
      left += width;
    }
    top += height;
  }
  const std::vector<BYTE> in = Read(source);
  const std::vector<BYTE> out = Read(target);
  const auto& table = blitter().GetPaletteTranslationTable();
  int wrong = 0;
  for (DWORD y = 0; y < 450; ++y)
    for (DWORD x = 0; x < 700; ++x)
      wrong += out[(y + 40) * 760 + x + 30] != static_cast<BYTE>(table[in[y * 700 + x]]);
  EXPECT_EQ(wrong, 0);
}

TEST_F(PrimaryBlitter, OddWidthsAndKeyedCopiesAndEmptyRectangles) {
  IDirectDrawSurface2* source = Make(13, 3);
  FillPattern(source);
  // Every index maps to one of its own: the table makes the translation
  // visible.
  IDirectDrawSurface2* target = Make(20, 5);
  ASSERT_EQ(Fill(target, RECT{0, 0, 20, 5}, 0), DD_OK);
  const std::vector<BYTE> before = Read(target);
  const RECT odd{2, 1, 13, 3};  // 11 wide: two steps of four and three alone
  ASSERT_EQ(blitter().CopyToSurface(target, 5, 2, source, odd), DD_OK);
  const std::vector<BYTE> in = Read(source);
  const std::vector<BYTE> out = Read(target);
  const auto& table = blitter().GetPaletteTranslationTable();
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 11; ++x)
      EXPECT_EQ(out[(y + 2) * 20 + x + 5], static_cast<BYTE>(table[in[(y + 1) * 13 + x + 2]])) << x << "," << y;
  EXPECT_EQ(out[2 * 20 + 4], before[2 * 20 + 4]) << "nothing left of the rectangle";
  EXPECT_EQ(out[2 * 20 + 16], before[2 * 20 + 16]) << "nothing right of it";

  // The display's key entry leaves the destination alone in a keyed copy.
  IDirectDrawSurface2* keyed = Make(4, 1);
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof desc;
  ASSERT_EQ(keyed->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_WRITEONLY, nullptr), DD_OK);
  const BYTE row[4] = {CDisplayState::kKeyIndex, 11, CDisplayState::kKeyIndex, 12};
  std::memcpy(desc.lpSurface, row, 4);
  keyed->Unlock(nullptr);
  IDirectDrawSurface2* under = Make(4, 1);
  ASSERT_EQ(Fill(under, RECT{0, 0, 4, 1}, 0xFFFFFF), DD_OK);
  const BYTE white = Read(under)[0];
  const RECT line{0, 0, 4, 1};
  ASSERT_EQ(blitter().Blt(under, 0, 0, keyed, line, DDBLT_KEYSRC, nullptr), DD_OK);
  const std::vector<BYTE> shown = Read(under);
  EXPECT_EQ(shown[0], white);
  EXPECT_EQ(shown[1], static_cast<BYTE>(table[11]));
  EXPECT_EQ(shown[2], white);
  EXPECT_EQ(shown[3], static_cast<BYTE>(table[12]));

  const RECT empty{3, 0, 3, 1};
  EXPECT_EQ(blitter().Blt(under, 0, 0, keyed, empty, 0, nullptr), DDERR_INVALIDRECT);
}

TEST_F(PrimaryBlitter, CopiesOntoADeviceContextGoThroughTheTableToo) {
  IDirectDrawSurface2* source = Make(400, 10);
  FillPattern(source);
  IDirectDrawSurface2* target = Make(400, 10);
  HDC dc = nullptr;
  ASSERT_EQ(target->GetDC(&dc), DD_OK);
  const RECT all{0, 0, 400, 10};
  EXPECT_EQ(blitter().BltToDC(dc, 0, 0, source, all, SRCCOPY), DD_OK);
  target->ReleaseDC(dc);
  // A device context copies colours, and the system palette holds black
  // many times over: compare what the indices show.
  PALETTEENTRY system[256]{};
  HDC display = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  GetSystemPaletteEntries(display, 0, 256, system);
  DeleteDC(display);
  const auto shows = [&](int index) {
    return system[index].peRed | system[index].peGreen << 8 | system[index].peBlue << 16;
  };
  const std::vector<BYTE> in = Read(source);
  const std::vector<BYTE> out = Read(target);
  const auto& table = blitter().GetPaletteTranslationTable();
  int wrong = 0;
  for (size_t i = 0; i < in.size(); ++i) wrong += shows(out[i]) != shows(table[in[i]]);
  EXPECT_EQ(wrong, 0);
}

TEST_F(PrimaryBlitter, ALostConversionSurfaceIsRestoredOrMadeAgain) {
  IDirectDrawSurface2* surface = blitter().GetConvertSurface();
  ASSERT_NE(surface, nullptr);
  TwlTestLoseSurfaces();
  log.Clear();
  EXPECT_EQ(blitter().Restore(), DD_OK);
  EXPECT_EQ(blitter().GetConvertSurface(), surface);
  EXPECT_EQ(log.Text(), "restoring 8 bit conversion surface...done\n");
  ASSERT_TRUE(TwlTestSetDisplayMode(800, 600, 8));
  log.Clear();
  EXPECT_EQ(blitter().Restore(), DD_OK);
  EXPECT_EQ(blitter().GetConvertSurface()->IsLost(), DD_OK);
  EXPECT_EQ(log.Text(),
            "restoring 8 bit conversion surface...can't restore surface - it will be recreated.\n"
            "destroying 8 bit conversion surface...done\n"
            "creating 8 bit conversion surface...done\n");
}
