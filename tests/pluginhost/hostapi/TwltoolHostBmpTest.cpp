// twltool hostbmp: BMP pictures loaded into a plug-in's own RGB buffer
// through the host API, against ImageMagick's reading of the same files.
#include <gtest/gtest.h>

#include <string>

#include "support/TestPaths.h"
#include "support/ToolRun.h"

namespace {

std::string Magick(const std::string& arguments) {
  std::string out;
  EXPECT_EQ(twltest::RunCommand("convert " + arguments, &out), 0) << arguments;
  return out;
}

TEST(TwltoolHostBmp, PicturesOfEveryKindArriveAsImageMagickReadsThem) {
  const std::string dir = twltest::MakeTempDir("bmp");
  const std::string gradient = dir + "/g.bmp";
  Magick("-size 32x32 gradient:red-blue BMP3:'" + gradient + "'");
  struct Row {
    const char* name;
    std::string file;
  };
  const Row rows[] = {
      {"24-bit", gradient},
      {"8-bit palette", dir + "/p8.bmp"},
      {"4-bit palette", dir + "/p4.bmp"},
      {"32-bit with alpha and channel masks", dir + "/a32.bmp"},
  };
  Magick("'" + gradient + "' -type Palette -colors 100 BMP3:'" + rows[1].file + "'");
  Magick("'" + gradient + "' -type Palette -colors 16 BMP3:'" + rows[2].file + "'");
  Magick("'" + gradient + "' -type TrueColorAlpha BMP:'" + rows[3].file + "'");
  for (const Row& row : rows) {
    const std::string expected = Magick("'" + row.file + "' -depth 8 ppm:-");
    for (const char* bits : {"24", "32"}) {
      SCOPED_TRACE(std::string(row.name) + " into " + bits + " bits");
      const std::string out = dir + "/out.ppm";
      const twltest::ToolRun run =
          twltest::RunTool("twltool", std::string("hostbmp --bits ") + bits + " '" + row.file + "' '" + out + "'");
      ASSERT_EQ(run.exitCode, 0) << run.err;
      EXPECT_TRUE(twltest::ReadFile(out) == expected) << "the pixels differ";
    }
  }
}

TEST(TwltoolHostBmp, SixteenBitsKeepTheTopBitsOfEachChannel) {
  const std::string dir = twltest::MakeTempDir("bmp16");
  const std::string file = dir + "/g.bmp";
  Magick("-size 64x8 gradient:white-black BMP3:'" + file + "'");
  const twltest::ToolRun run = twltest::RunTool("twltool", "hostbmp --bits 16 '" + file + "' '" + dir + "/o.ppm'");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  // Rounded to 5-6-5 and widened back, each channel keeps the source's top
  // 5 (green 6) bits.
  Magick("'" + file + "' -depth 8 ppm:'" + dir + "/expected.ppm'");
  std::string verdict;
  ASSERT_EQ(twltest::RunCommand("python3 -c \"import sys\n"
                                "def ppm(p):\n"
                                "  d = open(p, 'rb').read(); return d[d.index(b'255\\\\n') + 4:]\n"
                                "a = ppm(sys.argv[1]); b = ppm(sys.argv[2])\n"
                                "print(len(a) == len(b) and all((x >> s) == (y >> s) for i, (x, y) in enumerate(zip(a, "
                                "b)) for s in [3 if i % 3 != 1 else 2]))\" '" +
                                    dir + "/expected.ppm' '" + dir + "/o.ppm'",
                                &verdict),
            0);
  EXPECT_EQ(verdict, "True\n");
}

TEST(TwltoolHostBmp, AWrongSizeAndACutFileFailWithTheHostsText) {
  const std::string dir = twltest::MakeTempDir("bad");
  const std::string file = dir + "/g.bmp";
  Magick("-size 32x32 gradient:red-blue BMP3:'" + file + "'");
  const twltest::ToolRun wrongSize =
      twltest::RunTool("twltool", "hostbmp --size 16x16 '" + file + "' '" + dir + "/o.ppm'");
  EXPECT_EQ(wrongSize.exitCode, 1);
  EXPECT_EQ(wrongSize.err,
            "twltool: Unable to load bitmap data. The actual bitmap size does not match the expected bitmap size.\n");

  const std::string bytes = twltest::ReadFile(file);
  const std::string half = dir + "/half.bmp";
  twltest::WriteFile(half, bytes.substr(0, bytes.size() / 2));
  for (const char* size : {"", "--size 32x32 "}) {
    SCOPED_TRACE(size);
    const twltest::ToolRun cut = twltest::RunTool("twltool", std::string("hostbmp ") + size + "'" + half + "' x.ppm");
    EXPECT_EQ(cut.exitCode, 1);
    EXPECT_TRUE(cut.err.starts_with("twltool: ")) << cut.err;
  }
  EXPECT_EQ(twltest::RunTool("twltool", "hostbmp --bits 8 '" + file + "' x.ppm").exitCode, 1);
}

}  // namespace
