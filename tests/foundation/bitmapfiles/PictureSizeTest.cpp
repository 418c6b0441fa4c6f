// The size a picture file claims, read from its headers alone: what
// fndtool img2ppm and the fuzz targets bound before a reader decodes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ReaderTestSupport.h"
#include "foundation/bitmapfiles/PictureSize.h"
#include "foundation/streams/MemoryStream.h"

using namespace readertest;

namespace {

// The claimed size as "WxH", or "none" when the headers cannot be read.
std::string Claimed(const std::string& bytes) {
  CMemoryStream stream;
  BYTE* block = new BYTE[bytes.size() + 1];
  std::memcpy(block, bytes.data(), bytes.size());
  stream.Open(block, static_cast<DWORD>(bytes.size()), kStreamRead | kStreamSeek, 0, false);
  ClaimedPictureSize size;
  if (!ReadClaimedPictureSize(stream, size)) return "none";
  return std::to_string(size.width) + "x" + std::to_string(size.height);
}

std::string ImageFile(DWORD width, DWORD height) {
  std::string out("IMG_IMAGE\0", 10);
  for (DWORD field : {1u, width, height, 0u, 0u}) Put32(out, field);
  return out;
}

TEST(PictureSize, EachFormatGivesTheSizeItsHeadersClaim) {
  BMPLayout bottomUp;
  bottomUp.width = 46000;
  bottomUp.height = 46000;
  BMPLayout topDown;
  topDown.width = 7;
  topDown.height = -5;
  XTRMPICLayout xtrmpic;
  xtrmpic.width = 300;
  xtrmpic.height = 200;
  // An extension and a global table lie before the image; the screen's
  // own size plays no part.
  const std::string gif = GIFWriter(2, 2, {0, 0xFFFFFF})
                              .Extension(0xFE, "a comment")
                              .Add(GIFWriter::Image(40000, 3).Data(std::string("\x01\x00", 2)))
                              .Trailer()
                              .Bytes();
  const struct {
    const char* what;
    std::string bytes;
    const char* claimed;
  } cases[] = {
      {"BMP", MakeBMP(bottomUp), "46000x46000"},
      {"top-down BMP", MakeBMP(topDown), "7x5"},
      {"XTRMPIC", MakeXTRMPIC(xtrmpic), "300x200"},
      {"IMG_IMAGE", ImageFile(0x10000, 3), "65536x3"},
      {"GIF", gif, "40000x3"},
      {"BMP cut inside its header", MakeBMP(bottomUp).substr(0, 20), "none"},
      {"GIF without an image", GIFWriter(2, 2, {0, 0xFFFFFF}).Trailer().Bytes(), "none"},
      {"GIF cut inside the image descriptor", gif.substr(0, gif.find(',') + 5), "none"},
      {"no picture file", "plain text, long enough", "none"},
  };
  for (const auto& c : cases) EXPECT_EQ(Claimed(c.bytes), c.claimed) << c.what;
}

}  // namespace
