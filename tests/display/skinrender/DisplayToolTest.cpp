// twltool display: the key and black pixels the display gets in each kind
// of mode, and the palette an 8-bit display gets for a skin, checked by
// python3 against the fixed layout; a skin colour of the key green shows
// black.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

#include "../../skins/support/SkinTestSupport.h"
#include "support/TestPaths.h"

using namespace skintest;

namespace {


std::string Line(const std::string& out, const std::string& start) {
  const size_t at = out.find("\n" + start);
  if (at == std::string::npos) return out.rfind(start, 0) == 0 ? out.substr(0, out.find('\n')) : "";
  return out.substr(at + 1, out.find('\n', at + 1) - at - 1);
}

}  // namespace

TEST(DisplayTool, KeyAndBlackPixelsOfDirectColourModes) {
  const struct {
    const char* mode;
    const char* key;
  } cases[] = {
      {"800x600x16", "key 0x00000020"},  // 5-6-5: the lowest bit of the widest channel, green
      {"800x600x15", "key 0x00000020"},  // 5-5-5: a tie, which green wins
      {"800x600x32", "key 0x00000100"},
  };
  for (const auto& c : cases) {
    std::string out, err;
    ASSERT_EQ(RunTool(Twltool() + " display " + c.mode, &out, &err), 0) << c.mode << ": " << err;
    EXPECT_EQ(Line(out, "key "), c.key) << c.mode;
    EXPECT_EQ(Line(out, "black "), "black 0x00000000") << c.mode;
    EXPECT_EQ(out.find("palette "), std::string::npos) << c.mode;
  }
}

TEST(DisplayTool, EightBitPaletteHoldsTheFixedColoursAndTheSkinsAndNoKeyGreen) {
  RequirePython();
  const std::string dir = twltest::MakeTempDir("palette");
  // The built-in skin with its text colour turned into the key green.
  const std::string skin = dir + "/green/";
  std::filesystem::copy(twltest::SourceDir() + "/resources/skins/builtin", skin);
  std::string colors;
  {
    std::ifstream in(skin + "Colors.ini");
    colors.assign(std::istreambuf_iterator<char>(in), {});
  }
  colors = std::regex_replace(colors, std::regex("^Draw=[0-9a-fA-F]+", std::regex::multiline), "Draw=000100");
  std::ofstream(skin + "Colors.ini") << colors;

  for (const std::string& which : {std::string("builtin"), skin}) {
    std::string out, err;
    ASSERT_EQ(RunTool(Twltool() + " display 640x480x8 " + Quote(which), &out, &err), 0) << err;
    std::ofstream(dir + "/dump.txt") << out;
    std::string result;
    ASSERT_EQ(Shell("python3 " + Quote(TestSource("tests/display/skinrender/palette_check.py")) + " " +
                        Quote(dir + "/dump.txt"),
                    &result),
              0)
        << which << ": " << result;
    EXPECT_EQ(result.rfind("ok ", 0), 0u) << result;
    EXPECT_NE(out.find("palette 55 "), std::string::npos) << "the skin's colours follow the fixed ones";
  }
}

TEST(DisplayTool, RefusesABadMode) {
  std::string out, err;
  EXPECT_NE(RunTool(Twltool() + " display 800x600x12", &out, &err), 0);
  EXPECT_NE(err.find("display takes WIDTHxHEIGHTxBITS"), std::string::npos) << err;
}
