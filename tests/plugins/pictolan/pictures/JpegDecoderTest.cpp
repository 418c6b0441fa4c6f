// DecodeJpeg on files cjpeg and ImageMagick make: the bitmap it makes, the
// data it leaves to others, and a stream that ends or fails early.
#include <gtest/gtest.h>

#include <string>

#include "PictureFixtures.h"
#include "support/TestPaths.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/kernel/Error.h"
#include "foundation/streams/StreamError.h"
#include "plugins/pictolan/pictures/JpegDecoder.h"

namespace {

using picturetest::BytesStream;
using picturetest::PicturePath;
using picturetest::Shell;

// A stream whose every read throws a stream error.
class ThrowingStream : public BytesStream {
 public:
  ThrowingStream() : BytesStream("") {}
  DWORD Read(void*, DWORD) override { ThrowError<CStreamError>(CStreamError::kGenericRead); }
};

std::string MadeJpeg(const std::string& name, const std::string& makeFromPpm, const std::string& ppm) {
  const std::string source = PicturePath(name + ".ppm");
  twltest::WriteFile(source, ppm);
  const std::string jpeg = PicturePath(name);
  Shell(makeFromPpm + " '" + source + "' >'" + jpeg + "'");
  return twltest::ReadFile(jpeg);
}

TEST(JpegDecoderTest, OnePixelBecomesRedGreenBlueBytes) {
  const std::string bytes =
      MadeJpeg("one.jpg", "cjpeg -quality 100 -sample 1x1", std::string("P6\n1 1\n255\n") + "\xC8\x32\x14");
  BytesStream stream(bytes);
  CDIBitmap bitmap;
  ASSERT_TRUE(pictolan::DecodeJpeg(stream, bitmap));
  EXPECT_EQ(bitmap.GetWidth(), 1u);
  EXPECT_EQ(bitmap.GetHeight(), 1u);
  EXPECT_EQ(bitmap.GetFormat().bitsPerPixel, 24u);
  EXPECT_EQ(bitmap.GetFormat().redMask, 0xFFu);
  EXPECT_EQ(bitmap.GetFormat().blueMask, 0xFF0000u);
  EXPECT_EQ(bitmap.GetBytesPerRow(), 3u);
  EXPECT_TRUE(bitmap.IsTopDown());
  EXPECT_NEAR(bitmap.GetPixels()[0], 0xC8, 2);
  EXPECT_NEAR(bitmap.GetPixels()[1], 0x32, 2);
  EXPECT_NEAR(bitmap.GetPixels()[2], 0x14, 2);
}

TEST(JpegDecoderTest, DataThatIsNotJpegIsLeftWithoutAnError) {
  struct Row {
    const char* name;
    std::string bytes;
  };
  const Row rows[] = {
      {"a PNG", "\x89PNG\r\n\x1A\n\0\0\0\rIHDR"},
      {"empty", ""},
      {"a broken header", "\xFF\xD8\xFF\xC0\x00\x02"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    BytesStream stream(row.bytes);
    CDIBitmap bitmap;
    EXPECT_FALSE(pictolan::DecodeJpeg(stream, bitmap));
  }
  ThrowingStream throwing;
  CDIBitmap bitmap;
  CStr messages;
  EXPECT_FALSE(pictolan::DecodeJpeg(throwing, bitmap, {.messages = &messages}));
  EXPECT_STREQ(messages.c_str(), "Empty input file");
}

TEST(JpegDecoderTest, AStreamEndingInTheScanDataGivesThePictureWithTheLibrarysFiller) {
  std::string ppm = "P6\n64 64\n255\n";
  for (int i = 0; i < 64 * 64 * 3; ++i) ppm += static_cast<char>(i * 13 % 251);
  const std::string whole = MadeJpeg("ends.jpg", "cjpeg -quality 95", ppm);
  BytesStream stream(whole.substr(0, whole.size() / 2));
  CDIBitmap bitmap;
  CStr messages;
  ASSERT_TRUE(pictolan::DecodeJpeg(stream, bitmap, {.messages = &messages}));
  EXPECT_EQ(bitmap.GetHeight(), 64u);
  EXPECT_NE(std::string(messages.c_str()).find("Premature end of JPEG file"), std::string::npos) << messages.c_str();
}

TEST(JpegDecoderTest, PicturesPastTheCallersBoundAreRefusedAsTooLarge) {
  const std::string bytes = MadeJpeg("bound.jpg", "cjpeg", "P6\n20 10\n255\n" + std::string(600, '\x40'));
  BytesStream stream(bytes);
  CDIBitmap bitmap;
  try {
    pictolan::DecodeJpeg(stream, bitmap, {.maxPixels = 199});
    ADD_FAILURE() << "decoded";
  } catch (CError* error) {
    EXPECT_STREQ(error->GetText().c_str(), "The bitmap is too large.");
    DisposeError(error);
  }
  EXPECT_FALSE(bitmap.HasPixels());
}

}  // namespace
