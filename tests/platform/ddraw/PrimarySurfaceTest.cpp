// The primary surface is the screen of the window model: what a blit writes
// lands in the windows it covers (each cut to its visible region), a
// clipper bound to a window lets through exactly that window's visible
// pixels, and reading composes the windows. Screen dumps are checked by a
// python3 script that reads the PNG files.
#include "DirectDrawFixture.h"
#include "MessageLog.h"
#include "support/TestPaths.h"
#include "twlwin/testing_gdi.h"

namespace {

using ddtest::DirectDrawTest;
using ddtest::MessageLog;

class PrimarySurface : public DirectDrawTest {
 protected:
  static void Paint(HWND window, COLORREF colour) {
    HDC dc = GetWindowDC(window);
    RECT all{0, 0, 10000, 10000};
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    ReleaseDC(window, dc);
  }

  IDirectDrawClipper* ClipperOf(HWND window) {
    IDirectDrawClipper* clipper = nullptr;
    EXPECT_EQ(draw->CreateClipper(0, &clipper, nullptr), DD_OK);
    EXPECT_EQ(clipper->SetHWnd(0, window), DD_OK);
    return Keep(clipper);
  }

  // "stray wrong allowed" from the checking script.
  static std::string ChangedPixels(const std::string& before, const std::string& after, const RECT& area,
                                   const char* colour, std::initializer_list<RECT> excluded) {
    auto rect = [](const RECT& r) {
      return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
             std::to_string(r.bottom);
    };
    std::string command = "python3 '" + twltest::SourceDir() + "/tests/platform/ddraw/data/changed_pixels.py' '" +
                          before + "' '" + after + "' " + rect(area) + " " + colour;
    for (const RECT& r : excluded) command += " --not " + rect(r);
    std::string output;
    EXPECT_EQ(twltest::RunCommand(command + " 2>&1", &output), 0) << output;
    while (!output.empty() && output.back() == '\n') output.pop_back();
    return output;
  }
};

TEST_F(PrimarySurface, BlitThroughAWindowClipperChangesExactlyItsVisiblePixels) {
  UseDisplay(32, 320, 240);
  // A has a square hole and lies partly under B.
  const RECT a{40, 30, 200, 170};
  const RECT hole{70, 60, 110, 100};
  const RECT b{150, 100, 280, 220};
  HWND lower = MessageLog::MakeWindow(a);
  HWND upper = MessageLog::MakeWindow(b);
  ASSERT_TRUE(lower && upper);
  HRGN shape = CreateRectRgn(0, 0, a.right - a.left, a.bottom - a.top);
  HRGN cut = CreateRectRgn(hole.left - a.left, hole.top - a.top, hole.right - a.left, hole.bottom - a.top);
  CombineRgn(shape, shape, cut, RGN_DIFF);
  DeleteObject(cut);
  ASSERT_NE(SetWindowRgn(lower, shape, TRUE), 0);
  Paint(lower, RGB(128, 128, 128));
  Paint(upper, RGB(0, 0, 255));

  const std::string dir = twltest::MakeTempDir("primary");
  ASSERT_TRUE(TwlTestSaveScreenPng((dir + "/before.png").c_str()));
  IDirectDrawSurface2* primary = MakePrimary();
  ASSERT_EQ(primary->SetClipper(ClipperOf(lower)), DD_OK);
  ASSERT_EQ(FillColour(primary, nullptr, 0xFF0000), DD_OK);
  ASSERT_TRUE(TwlTestSaveScreenPng((dir + "/after.png").c_str()));

  const int visible = 160 * 140 - 40 * 40 - 50 * 70;
  EXPECT_EQ(ChangedPixels(dir + "/before.png", dir + "/after.png", a, "FF0000", {hole, b}),
            "0 0 " + std::to_string(visible));
  // Under B, A keeps its own pixels.
  EXPECT_EQ(TwlTestGetWindowPixel(lower, 155, 135), RGB(128, 128, 128));
}

TEST_F(PrimarySurface, KeyedStretchThroughAClipperKeepsTheRest) {
  UseDisplay(32, 320, 240);
  HWND window = MessageLog::MakeWindow(RECT{100, 20, 220, 90});
  HWND other = MessageLog::MakeWindow(RECT{20, 120, 100, 200});
  Paint(window, RGB(10, 20, 30));
  Paint(other, RGB(40, 50, 60));
  IDirectDrawSurface2* source = MakeSurface(2, 1);
  SetPixels(source, {0x00FFFF00, 0x00000001});
  DDCOLORKEY key{1, 1};
  ASSERT_EQ(source->SetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
  IDirectDrawSurface2* primary = MakePrimary();
  ASSERT_EQ(primary->SetClipper(ClipperOf(window)), DD_OK);
  // Stretched over the screen, the left half takes the yellow pixel and the
  // right half the keyed one; the clipper lets only the window through.
  ASSERT_EQ(primary->Blt(nullptr, source, nullptr, DDBLT_KEYSRC | DDBLT_WAIT, nullptr), DD_OK);
  EXPECT_EQ(TwlTestGetWindowPixel(window, 10, 10), RGB(255, 255, 0));    // screen x 110
  EXPECT_EQ(TwlTestGetWindowPixel(window, 100, 10), RGB(10, 20, 30));    // screen x 200: keyed
  EXPECT_EQ(TwlTestGetWindowPixel(other, 5, 5), RGB(40, 50, 60));        // not the clipper's window
}

TEST_F(PrimarySurface, WritesLandInTheWindowsTheyCoverAndReadsComposeThem) {
  UseDisplay(32, 320, 240);
  HWND lower = MessageLog::MakeWindow(RECT{10, 10, 110, 110});
  HWND upper = MessageLog::MakeWindow(RECT{60, 60, 160, 160});
  Paint(lower, RGB(1, 2, 3));
  Paint(upper, RGB(4, 5, 6));
  IDirectDrawSurface2* primary = MakePrimary();
  RECT band{0, 50, 320, 80};
  ASSERT_EQ(FillColour(primary, &band, 0x00ABCDEF), DD_OK);
  EXPECT_EQ(TwlTestGetWindowPixel(lower, 20, 45), RGB(0xAB, 0xCD, 0xEF));  // screen 30,55
  EXPECT_EQ(TwlTestGetWindowPixel(lower, 70, 65), RGB(1, 2, 3));           // screen 80,75: under upper
  EXPECT_EQ(TwlTestGetWindowPixel(upper, 20, 15), RGB(0xAB, 0xCD, 0xEF));  // screen 80,75
  EXPECT_EQ(TwlTestGetWindowPixel(upper, 20, 25), RGB(4, 5, 6));           // screen 80,85: below the band
  // Reading composes: the windows where they show, the desktop elsewhere.
  const DWORD desktop = PixelAt(primary, 300, 200);
  EXPECT_EQ(PixelAt(primary, 30, 55), 0x00ABCDEFu);
  EXPECT_EQ(PixelAt(primary, 30, 90), 0x00010203u);
  EXPECT_EQ(PixelAt(primary, 150, 150), 0x00040506u);
  // What lands on the bare desktop is not kept.
  EXPECT_EQ(PixelAt(primary, 300, 60), desktop);
}

TEST_F(PrimarySurface, SixteenBitKeyedBlitLeavesUntouchedPixelsExact) {
  UseDisplay(16, 320, 240);
  HWND window = MessageLog::MakeWindow(RECT{0, 0, 100, 100});
  // Not a 5-6-5 colour: a trip through the display format would change it.
  Paint(window, RGB(255, 255, 254));
  IDirectDrawSurface2* source = MakeSurface(4, 4);
  std::vector<uint32_t> pattern(16, 0x0001);
  pattern[5] = 0xF800;
  SetPixels(source, pattern);
  DDCOLORKEY key{1, 1};
  ASSERT_EQ(source->SetColorKey(DDCKEY_SRCBLT, &key), DD_OK);
  IDirectDrawSurface2* primary = MakePrimary();
  RECT where{10, 10, 14, 14};
  ASSERT_EQ(primary->Blt(&where, source, nullptr, DDBLT_KEYSRC | DDBLT_WAIT, nullptr), DD_OK);
  EXPECT_EQ(TwlTestGetWindowPixel(window, 11, 11), RGB(255, 0, 0));
  EXPECT_EQ(TwlTestGetWindowPixel(window, 10, 10), RGB(255, 255, 254));
  EXPECT_EQ(TwlTestGetWindowPixel(window, 50, 50), RGB(255, 255, 254));
  // Locking and unlocking without writing changes nothing either.
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof desc;
  ASSERT_EQ(primary->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
  ASSERT_EQ(primary->Unlock(nullptr), DD_OK);
  EXPECT_EQ(TwlTestGetWindowPixel(window, 50, 50), RGB(255, 255, 254));
}

TEST_F(PrimarySurface, EightBitPrimaryShowsTheRealisedPalette) {
  UseDisplay(8, 320, 240);
  HWND window = MessageLog::MakeWindow(RECT{0, 0, 100, 100});
  std::vector<BYTE> storage(sizeof(LOGPALETTE) + 2 * sizeof(PALETTEENTRY));
  auto* log = reinterpret_cast<LOGPALETTE*>(storage.data());
  log->palVersion = 0x300;
  log->palNumEntries = 2;
  log->palPalEntry[0] = PALETTEENTRY{12, 34, 56, PC_NOCOLLAPSE};
  log->palPalEntry[1] = PALETTEENTRY{200, 100, 50, PC_NOCOLLAPSE};
  HPALETTE palette = CreatePalette(log);
  HDC dc = GetWindowDC(window);
  HPALETTE old = SelectPalette(dc, palette, FALSE);
  ASSERT_EQ(RealizePalette(dc), 2u);
  SelectPalette(dc, old, FALSE);
  ReleaseDC(window, dc);

  IDirectDrawSurface2* primary = MakePrimary();
  RECT left{0, 0, 50, 100};
  RECT right{50, 0, 100, 100};
  ASSERT_EQ(FillColour(primary, &left, 10), DD_OK);
  ASSERT_EQ(FillColour(primary, &right, 11), DD_OK);
  EXPECT_EQ(TwlTestGetWindowPixel(window, 10, 10), RGB(12, 34, 56));
  EXPECT_EQ(TwlTestGetWindowPixel(window, 60, 10), RGB(200, 100, 50));
  EXPECT_EQ(PixelAt(primary, 10, 10), 10u);
  EXPECT_EQ(PixelAt(primary, 60, 10), 11u);
  DeleteObject(palette);
}

}  // namespace
