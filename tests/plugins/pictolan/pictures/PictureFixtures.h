// Pictures for the decoder tests: files made by ImageMagick and the
// libraries' own tools in the sandbox, PNG files with chosen palettes and
// transparency written with libpng, memory streams over bytes, and runs of
// twltool picture.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/streams/MemoryStream.h"

namespace picturetest {

// Runs a shell command; fails the test when it does not exit with 0.
void Shell(const std::string& command);

// An 8-bit RGB plasma picture of 64 x 48 in the sandbox (made once per
// process), the source of the files the tests make.
const std::string& SourcePicture();
// A path in this process's folder for pictures.
std::string PicturePath(const std::string& name);

// A PNG written by libpng: pixels as samples of `depth` bits, one value
// per sample (palette index or grey or channel), rows top first.
struct PngRecipe {
  int width = 1;
  int height = 1;
  int depth = 8;
  int colorType = 0;  // PNG_COLOR_TYPE_...
  bool interlaced = false;
  std::vector<uint8_t> palette;       // red, green, blue per entry
  std::vector<uint8_t> transparency;  // tRNS alphas of palette pictures
  bool keyColor = false;              // tRNS colour of grey or truecolour pictures
  uint16_t keyRed = 0, keyGreen = 0, keyBlue = 0, keyGrey = 0;
  std::vector<uint16_t> samples;
};
std::string MakePng(const PngRecipe& recipe);

// A read- and seekable memory stream over a copy of the bytes.
class BytesStream : public CMemoryStream {
 public:
  explicit BytesStream(const std::string& bytes);
};

// twltool picture FILE OUT: its exit status (as system() reports it), stdout and stderr.
struct ToolRun {
  int status = -1;
  std::string out;
  std::string err;
};
ToolRun RunPictureTool(const std::string& file, const std::string& png);

// compare -metric METRIC A B: ImageMagick's figure ("inf" for identical
// pictures under PSNR).
std::string CompareMetric(const std::string& metric, const std::string& a, const std::string& b);

}  // namespace picturetest
