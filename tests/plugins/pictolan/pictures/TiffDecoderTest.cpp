// DecodeTiff: the bitmap's orientation and first page, foreign data, and
// libtiff's messages, which stay with their own decode on every thread
// and never reach the process-wide handlers.
#include <gtest/gtest.h>
#include <tiffio.h>

#include <atomic>
#include <string>
#include <thread>

#include "PictureFixtures.h"
#include "support/TestPaths.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "plugins/pictolan/pictures/TiffDecoder.h"

namespace {

using picturetest::BytesStream;
using picturetest::PicturePath;
using picturetest::Shell;

std::string MadeTiff(const std::string& name, const std::string& make) {
  const std::string path = PicturePath(name);
  Shell(make + " '" + path + "'");
  return twltest::ReadFile(path);
}

TEST(TiffDecoderTest, TheBottomRowComesFirstAndOnlyTheFirstPageIsRead) {
  // Two pages of 2 x 2: red over blue, then green over white.
  const std::string bytes = MadeTiff(
      "pages.tif", "convert \\( -size 2x1 xc:red -size 2x1 xc:blue -append \\) \\( -size 2x2 xc:lime \\) -compress None");
  BytesStream stream(bytes);
  CDIBitmap bitmap;
  ASSERT_TRUE(pictolan::DecodeTiff(stream, bitmap));
  EXPECT_EQ(bitmap.GetWidth(), 2u);
  EXPECT_EQ(bitmap.GetHeight(), 2u);
  EXPECT_FALSE(bitmap.IsTopDown());
  EXPECT_EQ(bitmap.GetFormat().bitsPerPixel, 32u);
  EXPECT_EQ(bitmap.GetFormat().alphaMask, 0u);
  const BYTE* pixels = bitmap.GetPixels();
  EXPECT_EQ(std::vector<BYTE>(pixels, pixels + 3), (std::vector<BYTE>{0, 0, 255}));       // bottom: blue
  EXPECT_EQ(std::vector<BYTE>(pixels + 8, pixels + 11), (std::vector<BYTE>{255, 0, 0}));  // top: red
}

// Records whatever reaches the process-wide handlers.
std::atomic<int> g_GlobalMessages{0};
void RecordGlobalMessage(const char*, const char*, va_list) { ++g_GlobalMessages; }

TEST(TiffDecoderTest, ForeignDataIsRefusedAndTheInstalledHandlersHearNothing) {
  const TIFFErrorHandler errorsBefore = TIFFSetErrorHandler(&RecordGlobalMessage);
  const TIFFErrorHandler warningsBefore = TIFFSetWarningHandler(&RecordGlobalMessage);
  const std::string whole = MadeTiff("whole.tif", "convert -size 40x30 plasma: -compress LZW");
  for (const std::string& bytes : {std::string("\xFF\xD8\xFF\xE0 a JPEG"), std::string(), whole.substr(0, 700)}) {
    BytesStream stream(bytes);
    CDIBitmap bitmap;
    EXPECT_FALSE(pictolan::DecodeTiff(stream, bitmap));
  }
  EXPECT_EQ(g_GlobalMessages, 0);
  EXPECT_EQ(TIFFSetErrorHandler(errorsBefore), &RecordGlobalMessage);
  EXPECT_EQ(TIFFSetWarningHandler(warningsBefore), &RecordGlobalMessage);
}

// A TIFF whose compression tag names a scheme libtiff does not know.
std::string WithCompression(std::string bytes, uint16_t scheme) {
  const uint32_t directory = static_cast<uint8_t>(bytes[4]) | static_cast<uint8_t>(bytes[5]) << 8 |
                             static_cast<uint8_t>(bytes[6]) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(bytes[7])) << 24;
  const uint16_t count = static_cast<uint8_t>(bytes[directory]) | static_cast<uint8_t>(bytes[directory + 1]) << 8;
  for (uint16_t i = 0; i < count; ++i) {
    const size_t entry = directory + 2 + 12 * i;
    if (static_cast<uint8_t>(bytes[entry]) == 3 && bytes[entry + 1] == 1) {  // tag 259
      bytes[entry + 8] = static_cast<char>(scheme);
      bytes[entry + 9] = static_cast<char>(scheme >> 8);
    }
  }
  return bytes;
}

TEST(TiffDecoderTest, TwoThreadsDecodingBrokenFilesEachKeepTheirOwnMessages) {
  const std::string plain = MadeTiff("plain.tif", "convert -size 40x30 plasma: -compress None");
  ASSERT_EQ(plain.substr(0, 2), "II");
  const std::string broken[2] = {WithCompression(plain, 9999), WithCompression(plain, 40000)};
  // Each file's messages when decoded alone.
  std::string alone[2];
  for (int i = 0; i < 2; ++i) {
    BytesStream stream(broken[i]);
    CDIBitmap bitmap;
    CStr messages;
    // Strips of an unknown scheme are skipped: the picture stays black.
    ASSERT_TRUE(pictolan::DecodeTiff(stream, bitmap, {.messages = &messages}));
    EXPECT_EQ(bitmap.GetPixels()[0], 0);
    alone[i] = messages.c_str();
    EXPECT_NE(alone[i].find(i == 0 ? "9999" : "40000"), std::string::npos) << alone[i];
  }
  const TIFFErrorHandler before = TIFFSetErrorHandler(&RecordGlobalMessage);
  std::atomic<int> mismatches{0};
  auto decodeMany = [&](int which) {
    for (int round = 0; round < 200; ++round) {
      BytesStream stream(broken[which]);
      CDIBitmap bitmap;
      CStr messages;
      pictolan::DecodeTiff(stream, bitmap, {.messages = &messages});
      if (alone[which] != messages.c_str()) ++mismatches;
    }
  };
  std::thread first(decodeMany, 0);
  std::thread second(decodeMany, 1);
  first.join();
  second.join();
  EXPECT_EQ(mismatches, 0);
  EXPECT_EQ(g_GlobalMessages, 0);
  EXPECT_EQ(TIFFSetErrorHandler(before), &RecordGlobalMessage);
}

}  // namespace
