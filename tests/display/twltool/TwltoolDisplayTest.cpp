// twltool's display subcommands as a reviewer runs them: error texts by
// code, the DirectX version, a box layout, and the drag rectangle on a
// dump of the screen (read back with ImageMagick).
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "support/TestPaths.h"

namespace {

struct ToolRun {
  int exitCode = -1;
  std::string out;
};

ToolRun Twltool(const std::string& arguments) {
  ToolRun run;
  const int status =
      twltest::RunCommand("'" + twltest::ProgramPath("twltool") + "' " + arguments + " 2>/dev/null", &run.out);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

TEST(TwltoolDisplay, ErrorTextsPrintKeyAndText) {
  struct Row {
    const char* arguments;
    const char* expected;
  };
  const Row rows[] = {
      {"ddtext 0x887601C2",
       "CDirectDrawError.DDERR_SURFACELOST\tAccess to the surface is refused because the surface memory is gone. "
       "The DirectDrawSurface object representing this surface should have the IDirectDrawSurface2::Restore method "
       "called on it.\n"},
      {"ddtext 0", "CDirectDrawError.DD_OK\tThe request completed successfully.\n"},
      {"ddtext 7", "CDirectDrawError.Unknown\tAn unknown error occurred.\n"},
      {"dstext -2005401450",
       "CDirectSoundError.DSERR_BUFFERLOST\tThe buffer memory has been lost and must be restored.\n"},
      {"dstext 0x12345678", "CDirectSoundError.Unkown\tAn unknown error occurred.\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.arguments);
    const ToolRun run = Twltool(row.arguments);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, row.expected);
  }
  for (const char* bad : {"ddtext", "ddtext 0x100000000", "dstext twelve", "dstext 1 2", "ddtext -2147483649"}) {
    SCOPED_TRACE(bad);
    EXPECT_EQ(Twltool(bad).exitCode, 1);
  }
}

TEST(TwltoolDisplay, DxVersionPrintsWhatTheRegistryAndTheLayerSay) {
  EXPECT_EQ(Twltool("dxversion").out, "detected 7 exact 7\n") << "a fresh registry: the layer's DirectDraw";

  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\DirectX", 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const BYTE three[8] = {0, 0, 0, 3, 0, 0, 0, 0};
  ASSERT_EQ(RegSetValueExA(key, "InstalledVersion", 0, REG_BINARY, three, sizeof three), ERROR_SUCCESS);
  RegCloseKey(key);
  const ToolRun recorded = Twltool("dxversion");
  EXPECT_EQ(recorded.exitCode, 0);
  EXPECT_EQ(recorded.out, "detected 3 exact 3\n");

  EXPECT_EQ(Twltool("dxversion 7").exitCode, 1);
}

TEST(TwltoolDisplay, LayoutPrintsEachItemsRectangle) {
  const ToolRun vertical = Twltool("layout v 50 100 20,10,0,1 20,10,0,2 20,10,0,0");
  EXPECT_EQ(vertical.exitCode, 0);
  EXPECT_EQ(vertical.out, "15 0 35 33\n15 33 35 90\n15 90 35 100\n");
  const ToolRun horizontal = Twltool("layout h 11 4 0,2,1,0 0,2,1,0");
  EXPECT_EQ(horizontal.out, "0 1 6 3\n6 1 11 3\n");
  for (const char* bad : {"layout x 1 1 1,1,0,0", "layout v 10 10 1,1,0", "layout v 10 10 1,1,0,nan",
                          "layout v 10 10 1,1,0,0,", "layout h 10", "layout v 1x 10 1,1,0,0"}) {
    SCOPED_TRACE(bad);
    EXPECT_EQ(Twltool(bad).exitCode, 1);
  }
}

// The pixels of an area of a PNG file as shade letters, rows top first.
std::vector<std::string> Shades(const std::string& png, int x, int y, int width, int height) {
  std::string text;
  const std::string geometry =
      std::to_string(width) + "x" + std::to_string(height) + "+" + std::to_string(x) + "+" + std::to_string(y);
  EXPECT_EQ(twltest::RunCommand("convert '" + png + "' -crop " + geometry + " +repage txt:-", &text), 0);
  std::vector<std::string> rows(static_cast<size_t>(height), std::string(static_cast<size_t>(width), '?'));
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    int px = 0, py = 0;
    if (line[0] == '#' || std::sscanf(line.c_str(), "%d,%d:", &px, &py) != 2) continue;
    const size_t hash = line.find('#');
    if (hash == std::string::npos || px >= width || py >= height) continue;
    const std::string colour = line.substr(hash + 1, 6);
    char shade = '?';
    if (colour == "C8C8C8") shade = 'L';
    if (colour == "3C3C3C") shade = 'D';
    if (colour == "A0A0A0") shade = 'l';
    if (colour == "646464") shade = 'd';
    rows[static_cast<size_t>(py)][static_cast<size_t>(px)] = shade;
  }
  return rows;
}

TEST(TwltoolDisplay, DragRectShowsTheFrameOnTheScreenDump) {
  const std::string png = twltest::MakeTempDir("dragrect") + "/screen.png";
  const ToolRun run = Twltool("dragrect 100 50 0 0 '" + png + "'");
  ASSERT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(Shades(png, 98, 48, 4, 4), (std::vector<std::string>{"LlLL", "LLlD", "LddD", "DDDD"}));

  const std::string wide = twltest::MakeTempDir("dragrect") + "/screen.png";
  ASSERT_EQ(Twltool("dragrect 10 20 6 4 '" + wide + "'").exitCode, 0);
  const std::vector<std::string> frame = Shades(wide, 8, 18, 10, 8);
  EXPECT_EQ(frame[0], "LlLLLLLLLL");
  EXPECT_EQ(frame[7], "DDDDDDDDDD");
  EXPECT_EQ(frame[3].substr(0, 2) + frame[3].substr(8), "LldD");

  EXPECT_EQ(Twltool("dragrect 1 2 -3 4 '" + wide + "'").exitCode, 1);
  EXPECT_EQ(Twltool("dragrect 1 2 3 4").exitCode, 1);
}

}  // namespace

namespace {

// The number of pixels that differ between two pictures (ImageMagick).
std::string Differing(const std::string& first, const std::string& second) {
  std::string count;
  twltest::RunCommand("compare -metric AE '" + first + "' '" + second + "' null: 2>&1", &count);
  return count;
}

}  // namespace

TEST(TwltoolDisplay, ShowBmpPutsThePictureOnTheScreenUnchangedAt32Bits) {
  const std::string dir = twltest::MakeTempDir("showbmp");
  const std::string picture = dir + "/plasma.bmp";
  ASSERT_EQ(twltest::RunCommand("convert -size 700x500 -seed 3 plasma:fractal BMP3:'" + picture + "'"), 0);
  const ToolRun whole = Twltool("showbmp '" + picture + "' '" + dir + "/screen.png'");
  ASSERT_EQ(whole.exitCode, 0);
  EXPECT_EQ(whole.out, "");
  EXPECT_EQ(Differing(picture, dir + "/screen.png"), "0") << "the screen is the picture's size";

  // Larger than the back buffer, at a place of a larger screen.
  ASSERT_EQ(Twltool("showbmp '" + picture + "' '" + dir + "/at.png' --mode 1024x768x32 --at 10,20").exitCode, 0);
  ASSERT_EQ(twltest::RunCommand("convert '" + dir + "/at.png' -crop 700x500+10+20 +repage '" + dir + "/cut.png'"), 0);
  EXPECT_EQ(Differing(picture, dir + "/cut.png"), "0");
}

TEST(TwltoolDisplay, ShowBmpOnAnEightBitDisplayShowsThePicturesColoursThroughThePalettes) {
  const std::string dir = twltest::MakeTempDir("showbmp");
  const std::string picture = dir + "/few.bmp";
  // Colours a 5-6-5 table holds exactly.
  ASSERT_EQ(twltest::RunCommand("convert -size 60x40 xc:'#F86838' \\( -size 60x40 xc:'#0000F8' \\) +append "
                                "\\( -size 120x30 xc:'#F8FCF8' \\) -append BMP3:'" + picture + "'"),
            0);
  ASSERT_EQ(Twltool("showbmp '" + picture + "' '" + dir + "/screen.png' --mode 640x480x8 --at 5,7").exitCode, 0);
  ASSERT_EQ(twltest::RunCommand("convert '" + dir + "/screen.png' -crop 120x70+5+7 +repage '" + dir + "/cut.png'"), 0);
  EXPECT_EQ(Differing(picture, dir + "/cut.png"), "0");
}

TEST(TwltoolDisplay, ShowBmpRefusesWhatItCannotShow) {
  const std::string dir = twltest::MakeTempDir("showbmp");
  const std::string picture = dir + "/dot.bmp";
  ASSERT_EQ(twltest::RunCommand("convert -size 4x4 xc:red BMP3:'" + picture + "'"), 0);
  const std::string out = " '" + dir + "/o.png'";
  for (const std::string& arguments :
       {"'" + dir + "/missing.bmp'" + out, "'" + picture + "'" + out + " --mode 640x480x12",
        "'" + picture + "'" + out + " --mode 640x480", "'" + picture + "'" + out + " --at 1",
        "'" + picture + "'", "'" + picture + "' '" + dir + "/no/such/folder.png'"}) {
    SCOPED_TRACE(arguments);
    const ToolRun run = Twltool("showbmp " + arguments);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
  }
}

TEST(TwltoolDisplay, ButtonPrintsTheReportsOfInjectedInput) {
  const struct {
    const char* arguments;
    const char* expected;
  } rows[] = {
      {"button move:60,40 down:60,40 move:190,90 up:190,90", "5\n3\n6\n"},
      {"button move:60,40 down:60,40 up:60,40", "5\n3\n4\n2\n"},
      {"button --check move:60,40 down:60,40 up:60,40 down:60,40 up:60,40", "5\n3\n2\n4\n2\n"},
      {"button --toggle move:50,35 down:50,35 up:50,35", "5\n3\n2\n"},
      {"button key:32 key:13", "3\n4\n2\n3\n4\n2\n"},
      {"button --check key:13 key:32", "3\n2\n"},
      {"button --disabled move:60,40 down:60,40 up:60,40 key:32", ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.arguments);
    const ToolRun run = Twltool(row.arguments);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, row.expected);
  }
  EXPECT_EQ(Twltool("button jump:1,2").exitCode, 1);
  EXPECT_EQ(Twltool("button --toggle --check").exitCode, 1);
}

TEST(TwltoolDisplay, ButtonAndControlsWritePictures) {
  const std::string dir = twltest::MakeTempDir("controls");
  ASSERT_EQ(Twltool("button --png '" + dir + "/button.png' move:60,40").exitCode, 0);
  ASSERT_EQ(Twltool("controls '" + dir + "/controls.png'").exitCode, 0);
  std::string size;
  ASSERT_EQ(twltest::RunCommand("identify -format '%wx%h' '" + dir + "/controls.png'", &size), 0);
  EXPECT_EQ(size, "480x300");
  std::string colours;
  ASSERT_EQ(twltest::RunCommand("convert '" + dir + "/button.png' -format %k info:", &colours), 0);
  EXPECT_GT(std::stoi(colours), 2) << "background, text and the hover frame";
  EXPECT_EQ(Twltool("controls").exitCode, 1);
}

namespace {

// One pixel of a PNG file as ImageMagick writes it ("#RRGGBB").
std::string PixelAt(const std::string& png, int x, int y) {
  std::string text;
  twltest::RunCommand("convert '" + png + "' -crop 1x1+" + std::to_string(x) + "+" + std::to_string(y) +
                          " +repage -depth 8 txt:- | tail -1",
                      &text);
  const size_t hash = text.find('#');
  return hash == std::string::npos ? text : text.substr(hash, 7);
}

TEST(TwltoolDisplay, AuxWindowShowsItsFrameMaskAndStoredPlace) {
  const std::string folder = twltest::MakeTempDir("auxwindow");
  const ToolRun moved = Twltool("auxwindow 300 200 '" + folder + "/screen.png' --mask '" + folder +
                                "/mask.pgm' --name Probe --move 40,30");
  ASSERT_EQ(moved.exitCode, 0);
  EXPECT_EQ(moved.out,
            "window Probe 362,284 300x200\n"
            "moved to 402,314 300x200, stored as Probe_WindowRect\n"
            "mask 300x200, 0 pixels differ from the window's shape\n");

  // The stored value: 16 bytes, x, y, width, height little-endian.
  std::string stored;
  const char* registry = std::getenv("TWL_REGISTRY");
  ASSERT_NE(registry, nullptr);
  ASSERT_EQ(twltest::RunCommand(std::string("sqlite3 '") + registry +
                                    "' \"select length(data) || ' ' || hex(data) from registry where name = "
                                    "'Probe_WindowRect';\"",
                                &stored),
            0);
  EXPECT_EQ(stored, "16 920100003A0100002C010000C8000000\n");

  std::ifstream pgm(folder + "/mask.pgm", std::ios::binary);
  const std::string mask((std::istreambuf_iterator<char>(pgm)), std::istreambuf_iterator<char>());
  const std::string header = "P5\n300 200\n255\n";
  ASSERT_EQ(mask.size(), header.size() + 300 * 200);
  EXPECT_EQ(mask.substr(0, header.size()), header);
  const auto at = [&](int x, int y) { return static_cast<unsigned char>(mask[header.size() + y * 300 + x]); };
  EXPECT_EQ(at(0, 0), 0) << "the built-in frame's rounded corner";
  EXPECT_EQ(at(150, 100), 255);
  // Where the mask is 0 the screen shows the desktop.
  const std::string png = folder + "/screen.png";
  EXPECT_EQ(PixelAt(png, 402, 314), PixelAt(png, 0, 0));
  EXPECT_NE(PixelAt(png, 402 + 150, 314 + 100), PixelAt(png, 0, 0));

  const ToolRun again = Twltool("auxwindow 300 200 '" + folder + "/again.png' --name Probe");
  EXPECT_EQ(again.out, "window Probe 402,314 300x200\n") << "the stored place";
  for (const char* bad : {"auxwindow 0 10 x.png", "auxwindow 10 10", "auxwindow 10 10 x.png --move 3",
                          "auxwindow 10 10 x.png --size 3", "auxwindow 10 10 x.png --mask"}) {
    SCOPED_TRACE(bad);
    EXPECT_EQ(Twltool(bad).exitCode, 1);
  }
}

TEST(TwltoolDisplay, TheBusyLineSweepsPassesAndPauses) {
  const ToolRun run = Twltool("lineanim 10,10,110,20 3 8 2 2 200 220");
  ASSERT_EQ(run.exitCode, 0) << run.out;
  std::vector<std::string> lines;
  std::istringstream in(run.out);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 220u) << run.out;
  const int tops[] = {11, 12, 13, 14, 15, 16, 18};
  for (int tick = 1; tick <= 7; ++tick) {
    std::istringstream words(lines[static_cast<size_t>(tick - 1)]);
    int number = 0, left = 0, top = 0;
    words >> number >> left >> top;
    EXPECT_EQ(number, tick);
    EXPECT_EQ(top, tops[tick - 1]) << lines[static_cast<size_t>(tick - 1)];
  }
  EXPECT_EQ(lines[6], "7 16 18 104 20");
  EXPECT_EQ(lines[7], "8 -") << "step 0 has no length";
  EXPECT_EQ(lines[8], lines[0].replace(0, 1, "9")) << "the second pass repeats the first";
  for (int tick = 16; tick <= 216; ++tick) EXPECT_EQ(lines[static_cast<size_t>(tick - 1)], std::to_string(tick) + " -");
  EXPECT_EQ(lines[216], "217 54 11 65 13") << "out of the pause at step 1";

  EXPECT_EQ(Twltool("lineanim 10,10,110,11 3 4 1 1 2 1").out, "1 10 10 110 11\n") << "one pixel high: whole";
  for (const char* bad : {"lineanim 10,10,110 3 8 2 2 200 5", "lineanim 10,10,110,20 4 8 2 2 200 5",
                          "lineanim 110,10,10,20 3 8 2 2 200 5", "lineanim 10,10,110,20 3 8 2 2 200"})
    EXPECT_EQ(Twltool(bad).exitCode, 1) << bad;
}

TEST(TwltoolDisplay, SkinViewsShowTheSkinsListAndTreeColours) {
  const std::string png = twltest::MakeTempDir("skinviews") + "/views.png";
  const ToolRun run = Twltool("skinviews '" + png + "'");
  ASSERT_EQ(run.exitCode, 0) << run.out;
  for (const char* line : {"window 40 40 480 320 Skin views\n", "child 1 SysListView32 60 80 220 110 - Report\n",
                           "  column 0 0 150 Title\n", "  column 1 1 60 Length\n", "\tNocturne\t4:05\n",
                           "child 2 SysListView32 60 200 440 130 - Names\n", "\tl.ogg\n", " e Music\n",
                           " e Classical\n", "  item 2 ", " - Baroque\n", " - Jazz\n"})
    EXPECT_NE(run.out.find(line), std::string::npos) << line << run.out;
  // The built-in skin's "ListBackground" on the header band and below the
  // rows (window coordinates: the report list lies at 20,40).
  EXPECT_EQ(PixelAt(png, 20 + 200, 40 + 5), "#10131A");
  EXPECT_EQ(PixelAt(png, 20 + 100, 40 + 105), "#10131A");
}

}  // namespace

