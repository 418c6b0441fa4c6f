// fndtool img2ppm against ImageMagick's own decoding: BMP and GIF files
// made by ImageMagick at run time must come out pixel for pixel as
// ImageMagick reads them (compare -metric AE gives 0). ImageMagick is a
// test dependency: without it these tests fail.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <string>
#include <vector>

#include "ReaderTestSupport.h"
#include "ShellTools.h"
#include "support/TestPaths.h"

using namespace readertest;

namespace {

void RequireImageMagick() {
  ASSERT_EQ(RunShell("convert -version >/dev/null && compare -version >/dev/null"), 0)
      << "ImageMagick (convert, compare) is missing: install the package imagemagick (scripts/deps.sh test)";
}

// A picture with smooth areas and noise, odd-sized so that rows are padded.
std::string MakeSource(const std::string& dir) {
  const std::string path = dir + "/source.png";
  std::string output;
  EXPECT_EQ(RunShell("convert -size 61x43 -seed 7 plasma:fractal -seed 3 -attenuate 0.3 +noise Uniform " +
                         Quote(path),
                     &output),
            0)
      << output;
  return path;
}

std::string ToPPM(const std::string& file, const std::string& ppm, std::string* output) {
  const int code = RunShell(Quote(twltest::ProgramPath("fndtool")) + " img2ppm " + Quote(file) + " > " + Quote(ppm),
                            output);
  return code == 0 ? ppm : std::string();
}

// The stored fields that show what ImageMagick made.
struct BMPHeader {
  int32_t height;
  WORD bits;
  DWORD compression;
  DWORD offBits;
  DWORD infoSize;
};
BMPHeader ReadBMPHeader(const std::string& bytes) {
  auto u32 = [&](size_t at) {
    return static_cast<DWORD>(static_cast<BYTE>(bytes[at]) | static_cast<BYTE>(bytes[at + 1]) << 8 |
                              static_cast<BYTE>(bytes[at + 2]) << 16 | static_cast<DWORD>(static_cast<BYTE>(bytes[at + 3])) << 24);
  };
  return {static_cast<int32_t>(u32(22)), static_cast<WORD>(u32(28) & 0xFFFF), u32(30), u32(10), u32(14)};
}

void SetLE32(std::string& bytes, size_t at, DWORD value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

// The same picture stored top-down: negative height, rows reversed.
std::string TopDownCopy(const std::string& bmp) {
  const BMPHeader header = ReadBMPHeader(bmp);
  const size_t width = static_cast<BYTE>(bmp[18]) | static_cast<BYTE>(bmp[19]) << 8;
  const size_t stride = (width * header.bits + 31) / 32 * 4;
  std::string out = bmp;
  SetLE32(out, 22, static_cast<DWORD>(-header.height));
  for (int32_t y = 0; y < header.height; ++y)
    out.replace(header.offBits + y * stride, stride, bmp, header.offBits + (header.height - 1 - y) * stride, stride);
  return out;
}

// RLE4 of an uncompressed 4-bit BMP (ImageMagick writes no RLE4): runs of
// three or more equal pixels, literals between them, pairs as two-colour
// runs; a line end per row and the end of the bitmap.
std::string RLE4Copy(const std::string& bmp) {
  const BMPHeader header = ReadBMPHeader(bmp);
  const size_t width = static_cast<BYTE>(bmp[18]) | static_cast<BYTE>(bmp[19]) << 8;
  const size_t stride = (width * 4 + 31) / 32 * 4;
  std::string data;
  auto pixel = [&](size_t row, size_t x) {
    const BYTE byte = static_cast<BYTE>(bmp[header.offBits + row * stride + x / 2]);
    return x % 2 ? byte & 0xF : byte >> 4;
  };
  for (size_t row = 0; row < static_cast<size_t>(header.height); ++row) {
    size_t x = 0;
    while (x < width) {
      size_t run = 1;
      while (x + run < width && run < 255 && pixel(row, x + run) == pixel(row, x)) ++run;
      if (run >= 3 || width - x < 3) {
        const size_t n = run >= 3 ? run : width - x;
        Put8(data, static_cast<DWORD>(n));
        Put8(data, static_cast<DWORD>(pixel(row, x) << 4 | pixel(row, x + (n > 1 ? 1 : 0))));
        x += n;
        continue;
      }
      size_t literal = 0;
      while (x + literal < width && literal < 254) {
        size_t same = 1;
        while (x + literal + same < width && same < 3 && pixel(row, x + literal + same) == pixel(row, x + literal)) ++same;
        if (same >= 3) break;
        ++literal;
      }
      if (literal < 3) literal = std::min<size_t>(3, width - x);
      Put8(data, 0);
      Put8(data, static_cast<DWORD>(literal));
      std::string bytes((literal + 1) / 2, '\0');
      for (size_t i = 0; i < literal; ++i) bytes[i / 2] = static_cast<char>(bytes[i / 2] | pixel(row, x + i) << (i % 2 ? 0 : 4));
      if (bytes.size() % 2) bytes += '\0';
      data += bytes;
      x += literal;
    }
    Put8(data, 0);
    Put8(data, 0);
  }
  Put8(data, 0);
  Put8(data, 1);
  std::string out = bmp.substr(0, header.offBits) + data;
  SetLE32(out, 2, static_cast<DWORD>(out.size()));
  SetLE32(out, 30, 2);
  SetLE32(out, 34, static_cast<DWORD>(data.size()));
  return out;
}

struct PPM {
  size_t width = 0, height = 0;
  std::string pixels;
};
PPM ReadPPM(const std::string& path) {
  const std::string bytes = twltest::ReadFile(path);
  PPM ppm;
  size_t at = 0;
  auto field = [&]() {
    while (at < bytes.size() && isspace(static_cast<unsigned char>(bytes[at]))) ++at;
    const size_t start = at;
    while (at < bytes.size() && !isspace(static_cast<unsigned char>(bytes[at]))) ++at;
    return bytes.substr(start, at - start);
  };
  if (field() != "P6") return ppm;
  ppm.width = std::stoul(field());
  ppm.height = std::stoul(field());
  field();
  ppm.pixels = bytes.substr(at + 1);
  return ppm;
}

TEST(ImageMagick, BMPFilesDecodeAsImageMagickDecodesThem) {
  RequireImageMagick();
  const std::string dir = twltest::MakeTempDir("bmp");
  const std::string source = MakeSource(dir);
  // BMP3: writes the 40-byte information header, BMP: (ImageMagick's
  // default) the 124-byte one, with the palette after it.
  struct {
    const char* name;
    const char* options;  // to convert; empty: made from another case
    WORD bits;
    DWORD compression;
    DWORD infoSize;
  } cases[] = {
      {"rgb24", "-type TrueColor BMP3:", 24, 0, 40},
      {"pal8", "-colors 256 -type Palette -compress None BMP3:", 8, 0, 40},
      {"pal4", "-colors 16 -compress None BMP3:", 4, 0, 40},
      {"pal1", "-colors 2 -type Palette -compress None BMP3:", 1, 0, 40},
      {"rle8", "-colors 256 -type Palette -compress RLE BMP3:", 8, 1, 40},
      {"rle8-few-colours", "-colors 5 -type Palette -compress RLE BMP3:", 8, 1, 40},
      {"rle4", "", 4, 2, 40},
      {"rgb24-top-down", "", 24, 0, 40},
      {"pal8-top-down", "", 8, 0, 40},
      {"rgb24-v5", "-type TrueColor BMP:", 24, 0, 124},
      {"pal8-v5", "-colors 256 -type Palette -compress None BMP:", 8, 0, 124},
      {"pal4-v5", "-colors 16 -compress None BMP:", 4, 0, 124},
      {"pal1-v5", "-colors 2 -type Palette -compress None BMP:", 1, 0, 124},
      {"rle8-v5", "-colors 200 -type Palette -compress RLE BMP:", 8, 1, 124},
  };
  for (const auto& c : cases) {
    const std::string file = dir + "/" + c.name + ".bmp";
    std::string output;
    if (*c.options) {
      ASSERT_EQ(RunShell("convert " + Quote(source) + " " + c.options + Quote(file), &output), 0) << c.name << output;
    } else if (std::string(c.name) == "rle4") {
      twltest::WriteFile(file, RLE4Copy(twltest::ReadFile(dir + "/pal4.bmp")));
      ASSERT_EQ(DifferingPixels(file, dir + "/pal4.bmp"), "0") << "ImageMagick reads the RLE4 copy as the original";
    } else {
      const std::string from = std::string(c.name).substr(0, std::string(c.name).find('-'));
      twltest::WriteFile(file, TopDownCopy(twltest::ReadFile(dir + "/" + from + ".bmp")));
      ASSERT_EQ(DifferingPixels(file, dir + "/" + from + ".bmp"), "0") << "ImageMagick reads the top-down copy";
    }
    const BMPHeader header = ReadBMPHeader(twltest::ReadFile(file));
    ASSERT_EQ(header.bits, c.bits) << c.name << ": ImageMagick made another depth";
    ASSERT_EQ(header.compression, c.compression) << c.name << ": ImageMagick made another compression";
    ASSERT_EQ(header.infoSize, c.infoSize) << c.name << ": ImageMagick made another information header";
    const std::string ppm = ToPPM(file, dir + "/" + c.name + ".ppm", &output);
    ASSERT_FALSE(ppm.empty()) << c.name << ": " << output;
    EXPECT_EQ(DifferingPixels(ppm, file), "0") << c.name;
  }
}

// ImageMagick widens 5- and 6-bit channels by repeating their top bits;
// the pixel conversion behind img2ppm fills them with zero bits. The
// comparison cuts ImageMagick's result to the channels' bits. (BMP3 files
// of ImageMagick declare bit fields without storing the masks, so this
// case uses its full header, whose masks lie where the reader takes them.)
TEST(ImageMagick, SixteenBitBitFieldFilesDecodeAsImageMagickDecodesThemCutToTheirChannels) {
  RequireImageMagick();
  const std::string dir = twltest::MakeTempDir("bmp16");
  const std::string source = MakeSource(dir);
  const std::string file = dir + "/rgb565.bmp";
  std::string output;
  ASSERT_EQ(RunShell("convert " + Quote(source) + " -define bmp:subtype=RGB565 BMP:" + Quote(file), &output), 0)
      << output;
  const BMPHeader header = ReadBMPHeader(twltest::ReadFile(file));
  ASSERT_EQ(header.bits, 16);
  ASSERT_EQ(header.compression, 3u);
  ASSERT_FALSE(ToPPM(file, dir + "/ours.ppm", &output).empty()) << output;
  ASSERT_EQ(RunShell("convert " + Quote(file) + " -depth 8 " + Quote(dir + "/theirs.ppm"), &output), 0) << output;
  const PPM ours = ReadPPM(dir + "/ours.ppm");
  const PPM theirs = ReadPPM(dir + "/theirs.ppm");
  ASSERT_EQ(ours.width, 61u);
  ASSERT_EQ(ours.height, 43u);
  ASSERT_EQ(ours.pixels.size(), theirs.pixels.size());
  const BYTE channelMasks[3] = {0xF8, 0xFC, 0xF8};
  size_t differing = 0;
  for (size_t i = 0; i < ours.pixels.size(); ++i)
    if (static_cast<BYTE>(ours.pixels[i]) != (static_cast<BYTE>(theirs.pixels[i]) & channelMasks[i % 3])) ++differing;
  EXPECT_EQ(differing, 0u);
}

TEST(ImageMagick, GIFFilesDecodeAsImageMagickDecodesThem) {
  RequireImageMagick();
  const std::string dir = twltest::MakeTempDir("gif");
  const std::string source = MakeSource(dir);
  struct {
    const char* name;
    const char* command;  // %S the source, %O the file
    DWORD tableBits;
    bool interlaced;
    bool transparent;
  } cases[] = {
      {"colours2", "convert %S -colors 2 %O", 1, false, false},
      {"colours16", "convert %S -colors 16 %O", 4, false, false},
      {"colours256", "convert %S -colors 256 %O", 8, false, false},
      {"colours16-interlaced", "convert %S -colors 16 -interlace GIF %O", 4, true, false},
      {"colours256-interlaced", "convert %S -colors 256 -interlace GIF %O", 8, true, false},
      {"colours16-transparent",
       "c=$(convert %S -colors 15 -format '%[pixel:p{30,20}]' info:) && convert %S -colors 15 -transparent \"$c\" %O", 4,
       false, true},
  };
  for (const auto& c : cases) {
    const std::string file = dir + "/" + c.name + ".gif";
    std::string command = c.command;
    for (size_t at; (at = command.find("%S")) != std::string::npos;) command.replace(at, 2, Quote(source));
    command.replace(command.find("%O"), 2, Quote(file));
    std::string output;
    ASSERT_EQ(RunShell(command, &output), 0) << c.name << ": " << output;

    const std::string bytes = twltest::ReadFile(file);
    ASSERT_GT(bytes.size(), 13u);
    EXPECT_EQ((static_cast<BYTE>(bytes[10]) & 7u) + 1, c.tableBits) << c.name << ": ImageMagick made another table";
    const size_t control = bytes.find("\x21\xF9\x04");
    EXPECT_EQ(control != std::string::npos && (bytes[control + 3] & 1), c.transparent) << c.name;
    const size_t image = bytes.find(',', control == std::string::npos ? 13 : control + 8);
    ASSERT_NE(image, std::string::npos);
    EXPECT_EQ((bytes[image + 9] & 0x40) != 0, c.interlaced) << c.name;

    const std::string ppm = ToPPM(file, dir + "/" + c.name + ".ppm", &output);
    ASSERT_FALSE(ppm.empty()) << c.name << ": " << output;
    EXPECT_EQ(DifferingPixels(ppm, file), "0") << c.name;
  }
}

// The smallest picture that shows where the palette is read: a palette
// read from inside ImageMagick's long header gives other colours.
TEST(ImageMagick, APaletteBMPInImageMagicksDefaultLayoutShowsItsColours) {
  RequireImageMagick();
  const std::string dir = twltest::MakeTempDir("palette-v5");
  const std::string file = dir + "/im.bmp";
  std::string output;
  ASSERT_EQ(RunShell("convert -size 4x2 xc:red -fill blue -draw 'point 1,0' -type palette BMP:" + Quote(file), &output),
            0)
      << output;
  const std::string ppm = ToPPM(file, dir + "/im.ppm", &output);
  ASSERT_FALSE(ppm.empty()) << output;
  const std::string red("\xFF\x00\x00", 3), blue("\x00\x00\xFF", 3);
  EXPECT_EQ(twltest::ReadFile(ppm), "P6\n4 2\n255\n" + red + blue + red + red + red + red + red + red);
}

TEST(ImageMagick, Img2ppmReportsAFailureOnStderrWithExitCodeOne) {
  const std::string dir = twltest::MakeTempDir("fail");
  const std::string fixture = twltest::SourceDir() + "/tests/foundation/bitmapfiles/data/gif-minimum-code-size-12.gif";
  struct {
    std::string file;
    const char* message;
  } cases[] = {
      {fixture, "The file is corrupted."},
      {dir + "/missing.gif", "The file was not found."},
      {twltest::SourceDir() + "/tests/foundation/bitmapfiles/CMakeLists.txt", "Unknown file format: '"},
      // Their PPM would exceed 2 GiB: refused before a reader decodes them
      // (a reader would find the RLE data corrupted).
      {twltest::SourceDir() + "/tests/foundation/bitmapfiles/data/bmp-rle-huge-picture-little-data.bmp",
       "The bitmap is too large."},
      {twltest::SourceDir() + "/tests/foundation/bitmapfiles/data/gif-huge-image-without-data.gif",
       "The bitmap is too large."},
  };
  for (const auto& c : cases) {
    const int status = twltest::RunCommand(Quote(twltest::ProgramPath("fndtool")) + " img2ppm " + Quote(c.file) +
                                           " > " + Quote(dir + "/out.ppm") + " 2> " + Quote(dir + "/err.txt"));
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1) << c.file;
    EXPECT_NE(twltest::ReadFile(dir + "/err.txt").find(c.message), std::string::npos)
        << c.file << ": " << twltest::ReadFile(dir + "/err.txt");
    EXPECT_EQ(twltest::ReadFile(dir + "/out.ppm"), "") << c.file;
  }
}

}  // namespace
