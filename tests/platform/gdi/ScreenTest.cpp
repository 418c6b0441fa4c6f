// The screen made of the windows' own buffers: shapes decide which pixels
// are a window's, visible regions decide which window shows where, writes
// to the screen land in the windows they cover, and reading composes.
#include <windows.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "support/TestPaths.h"
#include "twlwin/presenter.h"
#include "twlwin/testing_gdi.h"
#include "twlwin/testing_user.h"

namespace {

constexpr COLORREF kScreenRed = RGB(220, 30, 20);
constexpr COLORREF kScreenBlue = RGB(10, 40, 200);
constexpr COLORREF kGreen = RGB(20, 180, 40);

class ScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSA cls{};
    cls.lpfnWndProc = DefWindowProcA;
    cls.lpszClassName = "ScreenTestWindow";
    ASSERT_NE(RegisterClassA(&cls), 0);
  }

  static HWND Make(RECT r, HWND parent = nullptr, DWORD style = WS_VISIBLE) {
    DWORD kind = parent ? WS_CHILD : WS_POPUP;
    return CreateWindowExA(0, "ScreenTestWindow", "", kind | style, r.left, r.top, r.right - r.left,
                           r.bottom - r.top, parent, nullptr, nullptr, nullptr);
  }

  // Fills the whole window through a window DC.
  static void Paint(HWND window, COLORREF colour) {
    HDC dc = GetWindowDC(window);
    ASSERT_NE(dc, nullptr);
    RECT all{0, 0, 10000, 10000};
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    ReleaseDC(window, dc);
  }

  static COLORREF ScreenPixel(int x, int y) {
    RECT one{x, y, x + 1, y + 1};
    DWORD word = 0;
    if (!TwlReadScreenPixels(&one, &word, 4)) return CLR_INVALID;
    return RGB((word >> 16) & 0xFF, (word >> 8) & 0xFF, word & 0xFF);
  }
};

// A disc of the given diameter at 0,0: pixels whose centre lies inside.
HRGN DiscRegion(int diameter) {
  HRGN disc = CreateRectRgn(0, 0, 0, 0);
  for (int y = 0; y < diameter; ++y) {
    int dy = 2 * y + 1 - diameter;
    int left = -1, right = -1;
    for (int x = 0; x < diameter; ++x) {
      int dx = 2 * x + 1 - diameter;
      if (dx * dx + dy * dy > diameter * diameter) continue;
      if (left < 0) left = x;
      right = x + 1;
    }
    if (left < 0) continue;
    HRGN row = CreateRectRgn(left, y, right, y + 1);
    CombineRgn(disc, disc, row, RGN_OR);
    DeleteObject(row);
  }
  return disc;
}

std::string Hex(COLORREF c) {
  char text[8];
  std::snprintf(text, sizeof text, "%02x%02x%02x", GetRValue(c), GetGValue(c), GetBValue(c));
  return text;
}

TEST_F(ScreenTest, ADiscWindowHalfUnderAnotherShowsItsPixelsExactlyInsideTheDiscAndOutsideTheOther) {
  constexpr int kDiameter = 200;
  const RECT discPlace{100, 100, 100 + kDiameter, 100 + kDiameter};
  const RECT cover{200, 60, 420, 360};  // over the right half of the disc
  HWND disc = Make(discPlace);
  ASSERT_TRUE(SetWindowRgn(disc, DiscRegion(kDiameter), FALSE));
  Paint(disc, kScreenRed);
  HWND over = Make(cover);
  Paint(over, kScreenBlue);

  std::string png = twltest::MakeTempDir("screen") + "/screen.png";
  ASSERT_TRUE(TwlTestSaveScreenPng(png.c_str()));
  std::string script = twltest::SourceDir() + "/tests/platform/gdi/scripts/check_disc_screen.py";
  std::string command = "python3 '" + script + "' '" + png + "' 100 100 " + std::to_string(kDiameter) + " " +
                        Hex(kScreenRed) + " 200 60 420 360 " + Hex(kScreenBlue) + " " + Hex(GetSysColor(COLOR_BACKGROUND)) +
                        " 2>&1";
  std::string output;
  int status = twltest::RunCommand(command, &output);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << output;
}

TEST_F(ScreenTest, AWindowDcDrawsOnlyInsideTheWindowsShape) {
  HWND below = Make({0, 0, 200, 100});
  Paint(below, kGreen);
  HWND shaped = Make({0, 0, 100, 100});
  ASSERT_TRUE(SetWindowRgn(shaped, CreateRectRgn(0, 0, 50, 100), FALSE));
  Paint(shaped, kScreenRed);

  HDC dc = GetDC(shaped);
  EXPECT_EQ(GetPixel(dc, 25, 10), kScreenRed);
  EXPECT_EQ(GetPixel(dc, 75, 10), CLR_INVALID) << "not the window's pixel";
  ReleaseDC(shaped, dc);
  EXPECT_EQ(TwlTestGetWindowPixel(shaped, 75, 10), CLR_INVALID);
  EXPECT_EQ(ScreenPixel(25, 10), kScreenRed);
  EXPECT_EQ(ScreenPixel(75, 10), kGreen) << "the window below shows outside the shape";

  // Without its shape the window shows what it has: nothing was drawn
  // where the shape did not reach.
  SetWindowRgn(shaped, nullptr, FALSE);
  EXPECT_NE(TwlTestGetWindowPixel(shaped, 75, 10), kScreenRed);
  EXPECT_EQ(TwlTestGetWindowPixel(shaped, 25, 10), kScreenRed);
}

TEST_F(ScreenTest, AWindowsOwnPictureLeavesOutWhatLiesOutsideItsShape) {
  HWND shaped = Make({30, 40, 130, 90});
  ASSERT_TRUE(SetWindowRgn(shaped, CreateRectRgn(0, 0, 60, 50), FALSE));
  Paint(shaped, kScreenRed);
  HWND child = Make({50, 10, 90, 30}, shaped);  // reaches out of the shape
  Paint(child, kScreenBlue);
  std::vector<DWORD> rows(100 * 50, 0xDEADBEEF);
  RECT whole{0, 0, 100, 50};
  ASSERT_TRUE(TwlReadWindowPixels(shaped, &whole, rows.data(), 100 * 4));
  EXPECT_EQ(rows[10 * 100 + 10], 0x00DC1E14u) << "the window's own pixel, 0x00RRGGBB";
  EXPECT_EQ(rows[20 * 100 + 55], 0x000A28C8u) << "the child over it";
  EXPECT_EQ(rows[20 * 100 + 70], 0u) << "outside the shape, even where the child lies";
  EXPECT_FALSE(TwlReadWindowPixels(child, &whole, rows.data(), 100 * 4)) << "only top-level windows";
  RECT tooBig{0, 0, 101, 50};
  EXPECT_FALSE(TwlReadWindowPixels(shaped, &tooBig, rows.data(), 101 * 4));
}

struct VisibleCase {
  const char* name;
  // Makes the windows; returns the one asked about.
  std::function<HWND(HWND (*make)(RECT, HWND, DWORD))> scene;
  std::vector<POINT> inside;   // screen points
  std::vector<POINT> outside;
};

void PrintTo(const VisibleCase& c, std::ostream* out) { *out << c.name; }

const VisibleCase kVisibleCases[] = {
    {"AHigherWindowCoversPartOfIt",
     [](auto make) {
       HWND lower = make({0, 0, 100, 100}, nullptr, WS_VISIBLE);
       make({50, 0, 150, 100}, nullptr, WS_VISIBLE);
       return lower;
     },
     {{10, 10}, {49, 99}},
     {{50, 10}, {100, 10}, {-1, 0}}},
    {"ItsChildrenAreCutOut",
     [](auto make) {
       HWND parent = make({0, 0, 100, 100}, nullptr, WS_VISIBLE);
       make({10, 10, 30, 30}, parent, WS_VISIBLE);
       make({60, 60, 80, 80}, parent, 0);  // hidden: not cut out
       return parent;
     },
     {{5, 5}, {30, 30}, {70, 70}},
     {{10, 10}, {29, 29}}},
    {"AChildShowsOnlyInsideItsParentsClientArea",
     [](auto make) {
       HWND parent = make({0, 0, 100, 100}, nullptr, WS_VISIBLE | WS_BORDER);
       return make({80, 80, 120, 120}, parent, WS_VISIBLE);
     },
     {{81, 81}, {98, 98}},
     {{99, 99}, {110, 110}, {80, 80}}},
    {"AHigherSiblingCoversALowerOne",
     [](auto make) {
       HWND parent = make({0, 0, 100, 100}, nullptr, WS_VISIBLE);
       HWND lower = make({10, 10, 50, 50}, parent, WS_VISIBLE);
       make({30, 30, 70, 70}, parent, WS_VISIBLE);  // shown last: on top
       return lower;
     },
     {{20, 20}, {45, 20}},
     {{40, 40}, {60, 60}}},
    {"ItsShapeCutsIt",
     [](auto make) {
       HWND shaped = make({0, 0, 100, 100}, nullptr, WS_VISIBLE);
       SetWindowRgn(shaped, CreateRectRgn(0, 0, 50, 100), FALSE);
       return shaped;
     },
     {{10, 10}},
     {{60, 10}}},
    {"AHigherWindowCoversItOnlyWithinItsOwnShape",
     [](auto make) {
       HWND lower = make({0, 0, 100, 100}, nullptr, WS_VISIBLE);
       HWND upper = make({0, 0, 100, 100}, nullptr, WS_VISIBLE);
       SetWindowRgn(upper, CreateRectRgn(0, 0, 50, 100), FALSE);
       return lower;
     },
     {{60, 10}},
     {{10, 10}}},
    {"AHiddenWindowHasNone",
     [](auto make) { return make({0, 0, 100, 100}, nullptr, 0); },
     {},
     {{10, 10}}},
    {"AShownChildOfAHiddenParentHasNone",
     [](auto make) {
       HWND parent = make({0, 0, 100, 100}, nullptr, 0);
       return make({10, 10, 30, 30}, parent, WS_VISIBLE);
     },
     {},
     {{15, 15}}},
};

class VisibleRegion : public ScreenTest, public ::testing::WithParamInterface<VisibleCase> {};

TEST_P(VisibleRegion, IsWhereTheWindowsOwnPixelsShow) {
  const VisibleCase& c = GetParam();
  HWND window = c.scene(&ScreenTest::Make);
  ASSERT_NE(window, nullptr);
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(TwlTestGetVisibleRegion(window, region), ERROR);
  for (POINT p : c.inside) EXPECT_TRUE(PtInRegion(region, p.x, p.y)) << p.x << "," << p.y;
  for (POINT p : c.outside) EXPECT_FALSE(PtInRegion(region, p.x, p.y)) << p.x << "," << p.y;
  DeleteObject(region);
}

INSTANTIATE_TEST_SUITE_P(Cases, VisibleRegion, ::testing::ValuesIn(kVisibleCases),
                         [](const ::testing::TestParamInfo<VisibleCase>& info) { return info.param.name; });

// The layout is kept between screen copies: each change of a window after
// the region was read must show in the next read.
struct ChangeCase {
  const char* name;
  std::function<void(HWND lower, HWND upper)> change;
  std::vector<POINT> inside;   // of the lower window's visible region after the change
  std::vector<POINT> outside;
};

void PrintTo(const ChangeCase& c, std::ostream* out) { *out << c.name; }

// lower = (0,0)-(100,100) under upper = (50,0)-(150,100).
const ChangeCase kChangeCases[] = {
    {"TheUpperMovesAway",
     [](HWND, HWND upper) { SetWindowPos(upper, nullptr, 200, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER); },
     {{75, 50}},
     {}},
    {"TheUpperGrows",
     [](HWND, HWND upper) { SetWindowPos(upper, nullptr, 20, 0, 130, 100, SWP_NOZORDER); },
     {{10, 50}},
     {{30, 50}}},
    {"TheUpperHides", [](HWND, HWND upper) { ShowWindow(upper, SW_HIDE); }, {{75, 50}}, {}},
    {"TheUpperIsDestroyed", [](HWND, HWND upper) { DestroyWindow(upper); }, {{75, 50}}, {}},
    {"TheUpperIsReshaped",
     [](HWND, HWND upper) { SetWindowRgn(upper, CreateRectRgn(0, 0, 100, 50), FALSE); },
     {{75, 75}},
     {{75, 25}}},
    {"TheLowerIsRaised",
     [](HWND lower, HWND) { SetWindowPos(lower, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); },
     {{75, 50}},
     {}},
    {"TheLowerGetsAChild",
     [](HWND lower, HWND) {
       HWND child = CreateWindowExA(0, "ScreenTestWindow", "", WS_CHILD, 10, 10, 20, 20, lower, nullptr, nullptr,
                                    nullptr);
       ShowWindow(child, SW_SHOWNA);
     },
     {{5, 5}},
     {{15, 15}, {75, 50}}},
};

class VisibleRegionChange : public ScreenTest, public ::testing::WithParamInterface<ChangeCase> {};

TEST_P(VisibleRegionChange, ShowsInTheNextRead) {
  const ChangeCase& c = GetParam();
  HWND lower = Make({0, 0, 100, 100});
  HWND upper = Make({50, 0, 150, 100});
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(TwlTestGetVisibleRegion(lower, region), ERROR);
  ASSERT_FALSE(PtInRegion(region, 75, 50));
  c.change(lower, upper);
  ASSERT_NE(TwlTestGetVisibleRegion(lower, region), ERROR);
  for (POINT p : c.inside) EXPECT_TRUE(PtInRegion(region, p.x, p.y)) << p.x << "," << p.y;
  for (POINT p : c.outside) EXPECT_FALSE(PtInRegion(region, p.x, p.y)) << p.x << "," << p.y;
  DeleteObject(region);
}

INSTANTIATE_TEST_SUITE_P(Cases, VisibleRegionChange, ::testing::ValuesIn(kChangeCases),
                         [](const ::testing::TestParamInfo<ChangeCase>& info) { return info.param.name; });

struct WriteCase {
  const char* name;
  bool onlyLower;
  bool lowerTakesItsVisiblePart;
  bool upperTakesItsPart;
};

void PrintTo(const WriteCase& c, std::ostream* out) { *out << c.name; }

const WriteCase kWriteCases[] = {
    {"EveryCoveredWindowTakesItsVisiblePart", false, true, true},
    {"AWindowTargetTakesItAlone", true, true, false},
};

class ScreenWrite : public ScreenTest, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(ScreenWrite, LandsInTheWindowsItCoversWithinTheirVisibleRegions) {
  const WriteCase& c = GetParam();
  HWND lower = Make({0, 0, 100, 100});
  HWND upper = Make({50, 0, 150, 100});
  Paint(lower, kGreen);
  Paint(upper, kScreenBlue);
  // A red block over both windows and the desktop beside them.
  RECT area{0, 20, 200, 40};
  std::vector<DWORD> red(200 * 20, 0x00DC1E14);
  ASSERT_TRUE(TwlTestWriteScreenPixels(&area, red.data(), 200 * 4, c.onlyLower ? lower : nullptr));

  EXPECT_EQ(TwlTestGetWindowPixel(lower, 25, 30) == kScreenRed, c.lowerTakesItsVisiblePart);
  EXPECT_EQ(TwlTestGetWindowPixel(lower, 75, 30), kGreen) << "covered: not the lower window's to take";
  EXPECT_EQ(TwlTestGetWindowPixel(upper, 25, 30) == kScreenRed, c.upperTakesItsPart);
  EXPECT_EQ(TwlTestGetWindowPixel(lower, 25, 10), kGreen) << "outside the area";
  EXPECT_EQ(ScreenPixel(170, 30), GetSysColor(COLOR_BACKGROUND)) << "the bare desktop keeps nothing";
  RECT offScreen{1000, 0, 1100, 10};
  EXPECT_FALSE(TwlTestWriteScreenPixels(&offScreen, red.data(), 100 * 4, nullptr));
}

INSTANTIATE_TEST_SUITE_P(Cases, ScreenWrite, ::testing::ValuesIn(kWriteCases),
                         [](const ::testing::TestParamInfo<WriteCase>& info) { return info.param.name; });

// One thread draws whole frames into its window while another composes the
// screen: every composed frame shows one whole frame, never parts of two.
TEST_F(ScreenTest, ComposingWhileAnotherThreadDrawsSeesWholeDrawingCalls) {
  constexpr int kFrames = 300;
  HWND window = nullptr;
  std::atomic<bool> ready{false};
  std::atomic<bool> done{false};
  std::thread drawer([&] {
    window = Make({10, 10, 110, 60});
    ready = true;
    for (int i = 0; i < kFrames; ++i) Paint(window, i % 2 ? kScreenRed : kScreenBlue);
    done = true;
    while (TwlTestPumpMessages() > 0) {
    }
  });
  while (!ready) std::this_thread::yield();
  RECT area{10, 10, 110, 60};
  std::vector<DWORD> rows(100 * 50);
  int composed = 0;
  int torn = 0;
  while (!done || composed == 0) {
    ASSERT_TRUE(TwlReadScreenPixels(&area, rows.data(), 100 * 4));
    ++composed;
    for (DWORD word : rows)
      if (word != rows[0]) {
        ++torn;
        break;
      }
  }
  drawer.join();
  EXPECT_EQ(torn, 0) << "of " << composed << " frames";
}

}  // namespace
