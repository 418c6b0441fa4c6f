// twltool ddblit against ImageMagick: a keyed blit at 32 bits equals
// "-transparent" then "-composite" of the same BMP files, pixel for pixel
// (compare -metric AE gives 0), wherever the source lands. ImageMagick is a
// test dependency: without it these tests fail.
#include <gtest/gtest.h>

#include <string>

#include "support/TestPaths.h"

namespace {

std::string Quote(const std::string& text) { return "'" + text + "'"; }

int Shell(const std::string& command, std::string* output = nullptr) {
  int status = twltest::RunCommand(command + " 2>&1", output);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class DdblitTool : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(Shell("convert -version >/dev/null && compare -version >/dev/null"), 0)
        << "ImageMagick (convert, compare) is missing: install the package imagemagick (scripts/deps.sh test)";
    dir_ = twltest::MakeTempDir("ddblit");
    target_ = dir_ + "/target.bmp";
    source_ = dir_ + "/source.bmp";
    std::string output;
    // Smooth colours with noise; the source has a key-coloured disc and
    // corner, so that both kept and skipped pixels abound.
    ASSERT_EQ(Shell("convert -size 41x29 -seed 3 plasma:fractal -seed 4 +noise Uniform BMP3:" + Quote(target_), &output),
              0)
        << output;
    ASSERT_EQ(Shell("convert -size 17x13 -seed 5 plasma:fractal -fill '#FF00FF' -draw 'circle 8,6 8,2' "
                    "-draw 'rectangle 0,0 3,3' BMP3:" +
                        Quote(source_),
                    &output),
              0)
        << output;
  }

  // The number of differing pixels between ddblit's result and ImageMagick's.
  std::string Differences(int x, int y, const char* key) {
    const std::string ours = dir_ + "/ours.png";
    const std::string theirs = dir_ + "/theirs.png";
    std::string output;
    std::string keyOption = key ? std::string(" --key ") + key : "";
    EXPECT_EQ(Shell(Quote(twltest::ProgramPath("twltool")) + " ddblit " + Quote(target_) + " " + Quote(source_) + " " +
                        std::to_string(x) + " " + std::to_string(y) + " " + Quote(ours) + keyOption +
                        " --mode 1024x768x32",
                    &output),
              0)
        << output;
    char geometry[32];
    std::snprintf(geometry, sizeof geometry, "%+d%+d", x, y);
    std::string transparent = key ? std::string(" -transparent '#") + key + "'" : "";
    EXPECT_EQ(Shell("convert " + Quote(target_) + " \\( " + Quote(source_) + transparent + " \\) -geometry " +
                        geometry + " -composite " + Quote(theirs),
                    &output),
              0)
        << output;
    Shell("compare -metric AE " + Quote(ours) + " " + Quote(theirs) + " null:", &output);
    return output;
  }

  std::string dir_;
  std::string target_;
  std::string source_;
};

TEST_F(DdblitTool, KeyedBlitAt32BitsEqualsImageMagick) {
  struct Case {
    const char* name;
    int x, y;
    const char* key;
  };
  const Case cases[] = {
      {"inside, keyed", 5, 4, "FF00FF"},
      {"past the right and top edges, keyed", 30, -4, "FF00FF"},
      {"past the left and bottom edges, keyed", -6, 20, "FF00FF"},
      {"entirely outside, keyed", 60, 3, "FF00FF"},
      {"a key no pixel has", 5, 4, "010203"},
      {"without key", -3, 2, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Differences(c.x, c.y, c.key), "0");
  }
}

TEST_F(DdblitTool, BadArgumentsAreRefusedWithAReason) {
  struct Case {
    const char* arguments;
    const char* reason;
  };
  const Case cases[] = {
      {"T S 1 2", "ddblit takes"},
      {"T S one 2 OUT", "X and Y must be whole numbers"},
      {"T S 1 99999999 OUT", "X and Y must be whole numbers"},
      {"T S 1 2 OUT --key FF00F", "six hexadecimal digits"},
      {"T S 1 2 OUT --key GG00FF", "six hexadecimal digits"},
      {"T S 1 2 OUT --mode 800x600x4", "8, 15, 16, 24 or 32 bits"},
      {"T S 1 2 OUT --mode 800x600", "8, 15, 16, 24 or 32 bits"},
      {"T S 1 2 OUT --mode 0x600x16", "8, 15, 16, 24 or 32 bits"},
      {"T S 1 2 OUT --mode", "needs a value"},
      {"T S 1 2 OUT --size 3", "unknown option"},
      {"T missing.bmp 1 2 OUT", "cannot read missing.bmp"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments);
    std::string arguments = c.arguments;
    for (auto [name, path] : {std::pair<std::string, std::string>{"T ", target_ + " "}, {"S ", source_ + " "},
                              {"OUT", dir_ + "/out.png"}}) {
      size_t at = arguments.find(name);
      if (at != std::string::npos) arguments.replace(at, name.size(), path);
    }
    std::string output;
    EXPECT_EQ(Shell(Quote(twltest::ProgramPath("twltool")) + " ddblit " + arguments, &output), 1);
    EXPECT_NE(output.find(c.reason), std::string::npos) << output;
  }
}

}  // namespace
