// twltool skin: the dumped mode-0 background of the built-in skin checked
// by python3 against the skin folder's pictures, the files it writes (into
// a folder it makes when missing), and its refusals.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "../../skins/support/SkinTestSupport.h"
#include "support/TestPaths.h"

using namespace skintest;

namespace {

std::string Builtin(const std::string& name) {
  return Quote(twltest::SourceDir() + "/resources/skins/builtin/" + name);
}

}  // namespace

TEST(SkinTool, BuiltinBackgroundAt32BitsIsThePictureInsideTheShapeAndTheKeyOutside) {
  RequirePython();
  const std::string dir = twltest::MakeTempDir("skin");
  std::string out, err;
  ASSERT_EQ(RunTool(Twltool() + " skin builtin " + Quote(dir) + " --mode 800x600x32", &out, &err), 0) << err;
  EXPECT_NE(out.find("mode0_background.png 280x100\n"), std::string::npos) << out;
  for (const char* name : {"mode2_background.png", "mode0_button1_state0.png", "mode0_font1_text.png",
                           "aux_part4.png", "control0_part1.png", "font0_glyphs0.png", "font0_text.png"})
    EXPECT_NE(out.find(name), std::string::npos) << name << " missing from\n" << out;
  std::string result;
  ASSERT_EQ(Shell("python3 " + Quote(TestSource("tests/display/skinrender/background_check.py")) + " " +
                      Quote(dir + "/mode0_background.png") + " " + Builtin("MainWindowNormal.bmp") + " " +
                      Builtin("MainWindowMask.bmp"),
                  &result),
            0)
      << result;
  EXPECT_EQ(result, "inside 27952 outside 48 differ 0\n");
}

TEST(SkinTool, EightBitSurfacesAreWrittenInTheSkinsPaletteNotTheSystems) {
  const std::string deep = twltest::MakeTempDir("skin32");
  const std::string palette = twltest::MakeTempDir("skin8");
  std::string out, err;
  ASSERT_EQ(RunTool(Twltool() + " skin builtin " + Quote(deep) + " --mode 800x600x32", &out, &err), 0) << err;
  ASSERT_EQ(RunTool(Twltool() + " skin builtin " + Quote(palette) + " --mode 800x600x8", &out, &err), 0) << err;
  const std::string background = palette + "/mode0_background.png";
  std::string colours;
  ASSERT_EQ(Shell("convert " + Quote(background) + " -format %k info:", &colours), 0);
  EXPECT_GT(std::stoi(colours), 4) << "more than the black of the system palette";
  // Each pixel is the nearest palette colour of the 32-bit one: close, and
  // the key where the 32-bit surface has it.
  std::string differing;
  Shell("compare -metric AE -fuzz 6% " + Quote(deep + "/mode0_background.png") + " " + Quote(background) +
            " null: 2>&1",
        &differing);
  EXPECT_EQ(differing, "0");
  std::string corner;
  ASSERT_EQ(Shell("convert " + Quote(background) + " -format '%[pixel:p{0,0}]' info:", &corner), 0);
  EXPECT_EQ(corner, "srgb(0,1,0)") << "outside the shape: the key";
}

TEST(SkinTool, RefusesBadModesAndMissingSkins) {
  const std::string dir = twltest::MakeTempDir("skin");
  const struct {
    std::string arguments;
    std::string message;
  } cases[] = {
      {"builtin " + dir + " --mode 800x600x12", "the mode is"},
      {"builtin " + dir + " --mode 800x600", "the mode is"},
      {"builtin", "skin takes"},
      {Quote(dir + "/missing.s4u") + " " + Quote(dir), ""},
      {Quote(dir + "/nofolder/") + " " + Quote(dir), ""},
      {"builtin " + Quote(dir + "/afile/out"), "cannot make the folder '" + dir + "/afile/out': "},
  };
  twltest::WriteFile(dir + "/afile", "a file where OUTDIR's parent should be");
  for (const auto& row : cases) {
    std::string out, err;
    EXPECT_EQ(RunTool(Twltool() + " skin " + row.arguments, &out, &err), 1) << row.arguments;
    EXPECT_NE(err.find(row.message), std::string::npos) << row.arguments << ": " << err;
    EXPECT_TRUE(out.empty()) << row.arguments;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << row.arguments << ": one line\n" << err;
  }
}

TEST(SkinTool, AMissingOutputFolderIsMade) {
  const std::string out = twltest::MakeTempDir("skin") + "/new/deeper";
  std::string printed, err;
  ASSERT_EQ(RunTool(Twltool() + " skin builtin " + Quote(out) + " --mode 800x600x16", &printed, &err), 0) << err;
  EXPECT_TRUE(err.empty()) << err;
  EXPECT_NE(printed.find("mode0_background.png 280x100\n"), std::string::npos) << printed;
  EXPECT_TRUE(std::filesystem::is_regular_file(out + "/mode0_background.png"));
}
