// twltool skin: the dumped mode-0 background of the built-in skin checked
// by python3 against the skin folder's pictures, the files it writes, and
// its refusals.
#include <gtest/gtest.h>

#include <string>

#include "../../skins/support/SkinTestSupport.h"
#include "support/TestPaths.h"

using namespace skintest;

namespace {

std::string Twltool() { return Quote(twltest::ProgramPath("twltool")); }
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

TEST(SkinTool, RefusesBadModesAndMissingSkins) {
  const std::string dir = twltest::MakeTempDir("skin");
  const struct {
    std::string arguments;
    const char* message;
  } cases[] = {
      {"builtin " + dir + " --mode 800x600x12", "the mode is"},
      {"builtin " + dir + " --mode 800x600", "the mode is"},
      {"builtin", "skin takes"},
      {Quote(dir + "/missing.s4u") + " " + Quote(dir), ""},
      {Quote(dir + "/nofolder/") + " " + Quote(dir), ""},
  };
  for (const auto& row : cases) {
    std::string out, err;
    EXPECT_EQ(RunTool(Twltool() + " skin " + row.arguments, &out, &err), 1) << row.arguments;
    EXPECT_NE(err.find(row.message), std::string::npos) << row.arguments << ": " << err;
    EXPECT_TRUE(out.empty()) << row.arguments;
  }
}
