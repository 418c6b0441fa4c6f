// fndtool convert against ImageMagick: the BMP files it writes must read
// back there with the right size and depth, and the lossless conversions
// must compare equal to their sources. ImageMagick is a test dependency:
// without it these tests fail.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <string>

#include "support/TestPaths.h"
#include "foundation/bitmaps/BitmapInfo.h"

namespace {

std::string Fixture(const std::string& name) { return twltest::SourceDir() + "/tests/foundation/bitmaps/data/" + name; }

std::string Quote(const std::string& text) { return "'" + text + "'"; }

// Exit code of a command line; its standard output and error in `output`.
int RunShell(const std::string& commandLine, std::string* output = nullptr) {
  const int status = twltest::RunCommand(commandLine + " 2>&1", output);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void RequireImageMagick() {
  ASSERT_EQ(RunShell("identify -version >/dev/null && compare -version >/dev/null"), 0)
      << "ImageMagick (identify, compare) is missing: install the package imagemagick (scripts/deps.sh test)";
}

int ConvertFile(const std::string& in, const std::string& out, const std::string& format, std::string* output) {
  return RunShell(Quote(twltest::ProgramPath("fndtool")) + " convert " + Quote(in) + " " + Quote(out) + " " + format, output);
}

std::string FirstWords(const std::string& text, int count) {
  size_t end = 0;
  for (int i = 0; i < count && end != std::string::npos; ++i) end = text.find(' ', end + (i ? 1 : 0));
  return text.substr(0, end);
}

WORD BitCountOf(const std::string& path) {
  const std::string bytes = twltest::ReadFile(path);
  if (bytes.size() < kBitmapFileHeaderSize + kBitmapInfoHeaderSize) return 0;
  return ReadBitmapInfoHeader(reinterpret_cast<const BYTE*>(bytes.data()) + kBitmapFileHeaderSize).biBitCount;
}

TEST(ConvertTool, WrittenBitmapsReadBackInImageMagickAndLosslessOnesCompareEqual) {
  RequireImageMagick();
  struct {
    const char* source;
    const char* format;
    const char* identified;  // width, height, depth, storage class
    WORD bits;
    bool lossless;
  } cases[] = {
      {"rgb24-13x7.bmp", "rgb32", "13 7 8 DirectClass", 32, true},
      {"rgb24-13x7.bmp", "rgb24", "13 7 8 DirectClass", 24, true},
      {"rgb24-13x7.bmp", "rgb565", "13 7 8 DirectClass", 16, false},
      {"rgb24-13x7.bmp", "rgb555", "13 7 8 DirectClass", 16, false},
      {"rgb24-13x7.bmp", "pal8", "13 7 8 PseudoClass", 8, true},
      {"rgb24-13x7-topdown.bmp", "rgb32", "13 7 8 DirectClass", 32, true},
      {"pal4-9x5.bmp", "rgb24", "9 5 8 DirectClass", 24, true},
      {"pal4-9x5.bmp", "pal8", "9 5 8 PseudoClass", 8, true},
      {"pal4-9x5.bmp", "rgb565", "9 5 8 DirectClass", 16, false},
      {"pal1-11x3.bmp", "rgb32", "11 3 8 DirectClass", 32, true},
      {"rle8.bmp", "rgb32", "4 1 8 DirectClass", 32, true},
  };
  const std::string dir = twltest::MakeTempDir("convert");
  for (const auto& c : cases) {
    const std::string name = std::string(c.source) + " as " + c.format;
    const std::string source = Fixture(c.source);
    const std::string out = dir + "/" + c.format + "-" + c.source;
    std::string output;
    ASSERT_EQ(ConvertFile(source, out, c.format, &output), 0) << name << ": " << output;
    EXPECT_EQ(BitCountOf(out), c.bits) << name;

    ASSERT_EQ(RunShell("identify -format '%w %h %z %r' " + Quote(out), &output), 0) << name << ": " << output;
    EXPECT_EQ(FirstWords(output, 4), c.identified) << name;
    if (!c.lossless) continue;
    RunShell("compare -metric AE " + Quote(source) + " " + Quote(out) + " null:", &output);
    EXPECT_EQ(output, "0") << name << ": pixels differ from the source";
  }
}

TEST(ConvertTool, RGB565ThroughTwentyFourBitsComesBackUnchanged) {
  RequireImageMagick();
  const std::string dir = twltest::MakeTempDir("roundtrip");
  std::string output;
  ASSERT_EQ(ConvertFile(Fixture("rgb24-13x7.bmp"), dir + "/a.bmp", "rgb565", &output), 0) << output;
  ASSERT_EQ(ConvertFile(dir + "/a.bmp", dir + "/b.bmp", "rgb24", &output), 0) << output;
  ASSERT_EQ(ConvertFile(dir + "/b.bmp", dir + "/c.bmp", "rgb565", &output), 0) << output;
  EXPECT_EQ(twltest::ReadFile(dir + "/a.bmp"), twltest::ReadFile(dir + "/c.bmp"));
  RunShell("compare -metric AE " + Quote(dir + "/a.bmp") + " " + Quote(dir + "/c.bmp") + " null:", &output);
  EXPECT_EQ(output, "0");
}

TEST(ConvertTool, BadFilesAndArgumentsFailWithAMessage) {
  struct {
    std::string in;
    const char* format;
    const char* message;
  } cases[] = {
      {Fixture("huge-dimensions.bmp"), "rgb32", "The bitmap is too large."},
      {Fixture("truncated-pixels.bmp"), "rgb32", "The end of the stream was reached."},
      {Fixture("too-many-colours.bmp"), "rgb32", "Unsupported file format:"},
      {Fixture("offset-past-end.bmp"), "rgb32", "The end of the stream was reached."},
      {Fixture("rgb24-13x7.bmp"), "yuv", "unknown format 'yuv'"},
      {Fixture("no-such-file.bmp"), "rgb32", "The file was not found."},
      {Fixture("../CMakeLists.txt"), "rgb32", "Unknown file format:"},
  };
  const std::string out = twltest::MakeTempDir("bad") + "/out.bmp";
  for (const auto& c : cases) {
    std::string output;
    EXPECT_EQ(ConvertFile(c.in, out, c.format, &output), 1) << c.in;
    EXPECT_NE(output.find(c.message), std::string::npos) << c.in << ": " << output;
    EXPECT_EQ(RunShell("test -e " + Quote(out)), 1) << c.in << ": nothing is written";
  }
}

}  // namespace
