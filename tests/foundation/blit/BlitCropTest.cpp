// The blitter against ImageMagick's -crop: the same rectangle cut out of
// bottom-up and top-down BMP files of 24, 4 and 1 bits gives the same
// colours. ImageMagick is a test dependency: without it this test fails.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <string>

#include "foundation/bitmaps/BitmapBlitter.h"
#include "foundation/bitmaps/BitmapInfo.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "BlitTestFiles.h"
#include "support/TestPaths.h"

namespace {

using blittest::Fixture;
using blittest::Quote;

int RunShell(const std::string& commandLine, std::string* output = nullptr) {
  const int status = twltest::RunCommand(commandLine, output);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void LoadBmp(const std::string& path, CDIBitmap& bitmap) {
  const std::string file = twltest::ReadFile(path);
  ASSERT_GT(file.size(), kBitmapFileHeaderSize + kBitmapInfoHeaderSize) << path;
  const BYTE* bytes = reinterpret_cast<const BYTE*>(file.data());
  const BITMAPFILEHEADER header = ReadBitmapFileHeader(bytes);
  ASSERT_LE(header.bfOffBits, file.size()) << path;
  bitmap.CreateFromBitmapInfo(bytes + kBitmapFileHeaderSize, header.bfOffBits - kBitmapFileHeaderSize,
                              bytes + header.bfOffBits, file.size() - header.bfOffBits);
}

// The pixels as red, green, blue bytes, top row first.
std::string RgbBytes(const CDIBitmap& bitmap) {
  CDIBitmap copy;
  copy.Copy(bitmap);
  CPixelFormat rgb;
  rgb.SetMasks(24, 0xFF0000, 0xFF00, 0xFF);
  copy.ChangeFormat(rgb, nullptr, 1, 0);
  std::string bytes(reinterpret_cast<const char*>(copy.GetPixels()), copy.GetDataSize());
  for (size_t i = 0; i + 2 < bytes.size(); i += 3) std::swap(bytes[i], bytes[i + 2]);
  return bytes;
}

TEST(BlitCrop, MatchesImageMagickCropOnBottomUpAndTopDownSources) {
  ASSERT_EQ(RunShell("convert -version >/dev/null 2>&1"), 0)
      << "ImageMagick (convert) is missing: install the package imagemagick (scripts/deps.sh test)";
  const struct {
    const char* file;
    INT x, y, width, height;
  } cases[] = {
      {"rgb24-13x9.bmp", 3, 2, 5, 4},
      {"rgb24-13x9.bmp", 0, 0, 13, 9},
      {"rgb24-13x9.bmp", 10, 6, 8, 8},  // runs past the right and bottom edges
      {"rgb24-13x9-topdown.bmp", 3, 2, 5, 4},
      {"rgb24-13x9-topdown.bmp", 1, 7, 12, 5},
      {"pal4-11x7.bmp", 3, 1, 5, 4},
      {"pal4-11x7.bmp", 0, 2, 11, 3},
      {"pal1-19x5-topdown.bmp", 5, 1, 11, 3},
      {"pal1-19x5-topdown.bmp", 7, 0, 20, 9},
  };
  for (const auto& c : cases) {
    const std::string name = std::string(c.file) + " " + std::to_string(c.width) + "x" + std::to_string(c.height) +
                             "+" + std::to_string(c.x) + "+" + std::to_string(c.y);
    CDIBitmap source;
    LoadBmp(Fixture(c.file), source);
    // ImageMagick gives the part of the rectangle inside the picture.
    const DWORD width = std::min<DWORD>(c.width, source.GetWidth() - c.x);
    const DWORD height = std::min<DWORD>(c.height, source.GetHeight() - c.y);
    CDIBitmap cut;
    cut.Create(width, height, 0, source.GetFormat(), true);
    CBitmapBlitter blitter;
    blitter.SetFormat(source.GetFormat());
    blitter.Blit(cut, 0, 0, c.width, c.height, source, c.x, c.y);

    std::string expected;
    ASSERT_EQ(RunShell("convert " + Quote(Fixture(c.file)) + " -crop " + std::to_string(c.width) + "x" +
                           std::to_string(c.height) + "+" + std::to_string(c.x) + "+" + std::to_string(c.y) +
                           " +repage -depth 8 rgb:-",
                       &expected),
              0)
        << name;
    ASSERT_EQ(expected.size(), size_t{3} * width * height) << name << ": ImageMagick cut another size";
    EXPECT_EQ(RgbBytes(cut), expected) << name;
  }
}

}  // namespace
