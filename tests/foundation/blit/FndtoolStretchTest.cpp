// fndtool stretch: PPM in, stretched PPM out. Stretching to the same size
// gives the source back; hostile PPM files and arguments fail with a
// message, never with a crash.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <string>

#include "BlitTestFiles.h"
#include "support/TestPaths.h"

namespace {

using blittest::Fixture;
using blittest::Quote;

// Exit code of fndtool stretch; its stderr in `output`.
int RunStretch(const std::string& arguments, std::string* output = nullptr) {
  const int status =
      twltest::RunCommand(Quote(twltest::ProgramPath("fndtool")) + " stretch " + arguments + " 2>&1", output);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Ppm(int width, int height, const std::string& samples) {
  return "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n" + samples;
}

TEST(FndtoolStretch, StretchingByOneReproducesTheSource) {
  const std::string dir = twltest::MakeTempDir("stretch");
  const std::string source = twltest::ReadFile(Fixture("sample-7x5.ppm"));
  // The fixture's header has a comment, the written one has none.
  const std::string samples = source.substr(source.size() - 7 * 5 * 3);
  for (const char* mode : {"nearest", "smooth"}) {
    std::string output;
    ASSERT_EQ(RunStretch(Quote(Fixture("sample-7x5.ppm")) + " " + Quote(dir + "/out.ppm") + " 7 5 " + mode, &output), 0)
        << output;
    EXPECT_EQ(twltest::ReadFile(dir + "/out.ppm"), Ppm(7, 5, samples)) << mode;
  }
}

TEST(FndtoolStretch, ScalesByNearestPixelOrByBlending) {
  const std::string dir = twltest::MakeTempDir("scale");
  // Black and white side by side, stretched to three pixels: the middle
  // one lies half way between them.
  twltest::WriteFile(dir + "/in.ppm", Ppm(2, 1, std::string(3, '\0') + std::string(3, '\xff')));
  const struct {
    const char* mode;
    std::string samples;
  } cases[] = {
      {"nearest", std::string(3, '\0') + std::string(6, '\xff')},
      {"smooth", std::string(3, '\0') + std::string(3, '\x7f') + std::string(3, '\xff')},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(RunStretch(Quote(dir + "/in.ppm") + " " + Quote(dir + "/out.ppm") + " 3 2 " + c.mode), 0);
    EXPECT_EQ(twltest::ReadFile(dir + "/out.ppm"), Ppm(3, 2, c.samples + c.samples)) << c.mode;
  }
}

TEST(FndtoolStretch, HostilePicturesAndArgumentsFailWithAMessage) {
  const std::string dir = twltest::MakeTempDir("hostile");
  const std::string out = Quote(dir + "/out.ppm");
  for (const char* name : {"ascii-p3.ppm", "not-a-picture.ppm", "sixteen-bit.ppm", "zero-width.ppm", "too-wide.ppm",
                           "huge-number.ppm", "negative-height.ppm", "truncated.ppm", "no-separator.ppm",
                           "header-only.ppm", "missing.ppm"}) {
    std::string output;
    EXPECT_EQ(RunStretch(Quote(Fixture(name)) + " " + out + " 10 10 smooth", &output), 1) << name;
    EXPECT_EQ(output.rfind("fndtool: ", 0), 0u) << name << ": " << output;
  }
  const std::string good = Quote(Fixture("sample-7x5.ppm"));
  for (const char* arguments : {" 0 5 nearest", " 5 0 nearest", " 40000 5 nearest", " 5 -5 nearest", " 5 5x nearest",
                                " 32767 32767 nearest", " 5 5 bilinear", " 5 5"}) {
    std::string output;
    EXPECT_EQ(RunStretch(good + " " + out + arguments, &output), 1) << arguments;
    EXPECT_EQ(output.rfind("fndtool: ", 0), 0u) << arguments << ": " << output;
  }
}

}  // namespace
