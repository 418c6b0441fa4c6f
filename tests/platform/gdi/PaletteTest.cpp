// Palettes on the simulated 8-bit display: the system palette, realising a
// logical palette into it, and who hears of a change.
#include <windows.h>
#include <gtest/gtest.h>

#include <vector>

#include "twlwin/testing_display.h"

namespace {

std::vector<HWND> changedFrom;
std::vector<HWND> changedIn;

LRESULT CALLBACK NotingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PALETTECHANGED) {
    changedIn.push_back(window);
    changedFrom.push_back(reinterpret_cast<HWND>(wParam));
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeWindow() {
  static const ATOM registered = [] {
    WNDCLASSA cls{};
    cls.lpfnWndProc = NotingProc;
    cls.lpszClassName = "PaletteTestWindow";
    return RegisterClassA(&cls);
  }();
  EXPECT_NE(registered, 0);
  return CreateWindowExA(0, "PaletteTestWindow", "", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr, nullptr,
                         nullptr);
}

// A palette laid out as the player lays out its own: the static colours
// by reference at both ends, its own colours in between.
HPALETTE MakePlayerPalette(COLORREF (*colourOf)(int)) {
  std::vector<BYTE> storage(sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY));
  auto* log = reinterpret_cast<LOGPALETTE*>(storage.data());
  log->palVersion = 0x300;
  log->palNumEntries = 256;
  for (int i = 0; i < 256; ++i) {
    PALETTEENTRY& e = log->palPalEntry[i];
    if (i < 10 || i >= 246) {
      e = PALETTEENTRY{static_cast<BYTE>(i), 0, 0, PC_EXPLICIT};
    } else {
      COLORREF c = colourOf(i);
      e = PALETTEENTRY{GetRValue(c), GetGValue(c), GetBValue(c), PC_NOCOLLAPSE};
    }
  }
  return CreatePalette(log);
}

COLORREF Ramp(int i) { return RGB(i, 255 - i, i / 2); }
COLORREF OtherRamp(int i) { return RGB(255 - i, i, 7); }

std::vector<PALETTEENTRY> SystemEntries() {
  HDC display = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  std::vector<PALETTEENTRY> entries(256);
  entries.resize(GetSystemPaletteEntries(display, 0, 256, entries.data()));
  DeleteDC(display);
  return entries;
}

class Palettes : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(TwlTestSetDisplayMode(640, 480, 8)); }
};

TEST_F(Palettes, OnlyAnEightBitDisplayHasASystemPalette) {
  struct Case {
    int depth;
    UINT entries;
  };
  for (const Case& c : {Case{8, 256}, Case{4, 0}, Case{16, 0}, Case{32, 0}}) {
    SCOPED_TRACE(c.depth);
    ASSERT_TRUE(TwlTestSetDisplayMode(640, 480, c.depth));
    EXPECT_EQ(SystemEntries().size(), c.entries);
  }
}

TEST_F(Palettes, SystemPaletteSizeAndStaticColours) {
  std::vector<PALETTEENTRY> entries = SystemEntries();
  ASSERT_EQ(entries.size(), 256u);
  EXPECT_EQ(RGB(entries[0].peRed, entries[0].peGreen, entries[0].peBlue), RGB(0, 0, 0));
  EXPECT_EQ(RGB(entries[249].peRed, entries[249].peGreen, entries[249].peBlue), RGB(255, 0, 0));
  EXPECT_EQ(RGB(entries[255].peRed, entries[255].peGreen, entries[255].peBlue), RGB(255, 255, 255));

  TwlTestSetSystemPaletteSize(236);
  HDC display = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  ASSERT_NE(display, nullptr);
  EXPECT_EQ(GetSystemPaletteEntries(display, 0, 0, nullptr), 236u);
  PALETTEENTRY tail[16];
  EXPECT_EQ(GetSystemPaletteEntries(display, 230, 16, tail), 6u);
  EXPECT_EQ(GetSystemPaletteEntries(display, 248, 8, tail), 0u);
  DeleteDC(display);
  EXPECT_EQ(GetSystemPaletteEntries(reinterpret_cast<HDC>(0x1234), 0, 16, tail), 0u);
  EXPECT_EQ(CreateDCA("PRINTER", nullptr, nullptr, nullptr), nullptr);
}

TEST_F(Palettes, ForegroundRealisationPlacesOwnColoursInOrder) {
  HWND window = MakeWindow();
  HPALETTE palette = MakePlayerPalette(Ramp);
  ASSERT_NE(palette, nullptr);
  HDC dc = GetWindowDC(window);
  HPALETTE old = SelectPalette(dc, palette, FALSE);
  EXPECT_NE(old, nullptr);
  EXPECT_TRUE(UnrealizeObject(palette));
  EXPECT_EQ(RealizePalette(dc), 236u);
  std::vector<PALETTEENTRY> entries = SystemEntries();
  for (int i = 10; i < 246; ++i)
    EXPECT_EQ(RGB(entries[i].peRed, entries[i].peGreen, entries[i].peBlue), Ramp(i)) << i;
  EXPECT_EQ(RGB(entries[249].peRed, entries[249].peGreen, entries[249].peBlue), RGB(255, 0, 0));
  EXPECT_EQ(SelectPalette(dc, old, FALSE), palette);
  ReleaseDC(window, dc);
  DestroyWindow(window);
  DeleteObject(palette);
}

TEST_F(Palettes, ChangesAreToldOnceWithTheWindowThatCausedThem) {
  HWND first = MakeWindow();
  HWND second = MakeWindow();
  HPALETTE ramp = MakePlayerPalette(Ramp);
  HDC dc = GetWindowDC(first);
  SelectPalette(dc, ramp, FALSE);
  RealizePalette(dc);
  EXPECT_EQ(changedIn.size(), 2u);
  for (HWND cause : changedFrom) EXPECT_EQ(cause, first);
  // Realising the same colours again changes nothing, so nobody hears.
  changedIn.clear();
  changedFrom.clear();
  RealizePalette(dc);
  EXPECT_TRUE(changedIn.empty());
  // In the background a palette takes no entries of its own.
  HPALETTE other = MakePlayerPalette(OtherRamp);
  SelectPalette(dc, other, TRUE);
  EXPECT_EQ(RealizePalette(dc), 0u);
  EXPECT_TRUE(changedIn.empty());
  SelectPalette(dc, other, FALSE);
  EXPECT_EQ(RealizePalette(dc), 236u);
  EXPECT_EQ(changedIn.size(), 2u);
  ReleaseDC(first, dc);
  DestroyWindow(first);
  DestroyWindow(second);
  DeleteObject(ramp);
  DeleteObject(other);
}

TEST_F(Palettes, EqualColoursShareEntriesUnlessTheyAskForTheirOwn) {
  LOGPALETTE log{};
  log.palVersion = 0x300;
  log.palNumEntries = 1;
  log.palPalEntry[0] = PALETTEENTRY{255, 0, 0, 0};  // the static red
  HPALETTE shared = CreatePalette(&log);
  log.palPalEntry[0].peFlags = PC_NOCOLLAPSE;
  HPALETTE own = CreatePalette(&log);
  HDC dc = CreateCompatibleDC(nullptr);
  SelectPalette(dc, shared, FALSE);
  EXPECT_EQ(RealizePalette(dc), 0u);
  SelectPalette(dc, own, FALSE);
  EXPECT_EQ(RealizePalette(dc), 1u);
  EXPECT_EQ(SystemEntries()[10].peRed, 255);
  DeleteDC(dc);
  DeleteObject(shared);
  DeleteObject(own);
}

TEST_F(Palettes, BadArgumentsAreRefused) {
  LOGPALETTE log{};
  log.palVersion = 0x200;
  log.palNumEntries = 1;
  EXPECT_EQ(CreatePalette(&log), nullptr);
  log.palVersion = 0x300;
  log.palNumEntries = 0;
  EXPECT_EQ(CreatePalette(&log), nullptr);
  EXPECT_EQ(CreatePalette(nullptr), nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  EXPECT_EQ(SelectPalette(dc, reinterpret_cast<HPALETTE>(0x1234), FALSE), nullptr);
  EXPECT_EQ(SelectPalette(dc, static_cast<HPALETTE>(GetStockObject(BLACK_BRUSH)), FALSE), nullptr);
  EXPECT_EQ(RealizePalette(reinterpret_cast<HDC>(0x1234)), GDI_ERROR);
  EXPECT_FALSE(UnrealizeObject(reinterpret_cast<HGDIOBJ>(0x1234)));
  EXPECT_FALSE(UnrealizeObject(dc));
  DeleteDC(dc);
}

TEST_F(Palettes, OtherDisplaysRealiseNothing) {
  ASSERT_TRUE(TwlTestSetDisplayMode(640, 480, 32));
  HPALETTE palette = MakePlayerPalette(Ramp);
  HDC dc = CreateCompatibleDC(nullptr);
  SelectPalette(dc, palette, FALSE);
  EXPECT_EQ(RealizePalette(dc), 0u);
  EXPECT_EQ(GetObjectType(palette), static_cast<DWORD>(OBJ_PAL));
  DeleteDC(dc);
  DeleteObject(palette);
}

}  // namespace
