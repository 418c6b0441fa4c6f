// Recognising picture files by their first bytes, and loading through the
// reader of the recognised format.
#include <dirent.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ReaderTestSupport.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/streams/MemoryStream.h"
#include "foundation/streams/StreamError.h"
#include "support/TestPaths.h"

using namespace readertest;

namespace {

struct Detected {
  INT format;
  LONGLONG positionAfter;
};

// Detection on a memory stream positioned at `start`.
Detected Detect(const std::string& bytes, LONGLONG start = 0) {
  CMemoryStream stream;
  BYTE* block = new BYTE[bytes.size() + 1];
  std::memcpy(block, bytes.data(), bytes.size());
  stream.Open(block, static_cast<DWORD>(bytes.size()), kStreamRead | kStreamSeek, 0, false);
  stream.Seek(start, kSeekFromStart, nullptr);
  const INT format = CDIBitmap::DetectFileFormat(stream);
  return {format, stream.GetPosition()};
}

// "BM", then bfSize, padded with zeros to `length` bytes.
std::string BMHead(DWORD statedSize, size_t length) {
  std::string out = "BM";
  Put32(out, statedSize);
  out.resize(length, '\0');
  return out;
}

TEST(FileFormat, EachFormatIsRecognisedByItsFirstBytesAndThePositionStays) {
  const std::string padding(6, 'x');
  struct {
    const char* name;
    std::string bytes;
    INT format;
  } cases[] = {
      {"IMG_IMAGE with its zero byte", std::string("IMG_IMAGE\0", 10) + padding, CDIBitmap::kImageFile},
      {"IMG_IMAGE without the zero byte", std::string("IMG_IMAGEx") + padding, CDIBitmap::kUnknownFileFormat},
      {"XTRMPIC", "XTRMPIC" + padding, CDIBitmap::kXTRMPICFile},
      {"GIF87a", "GIF87a" + padding, CDIBitmap::kGIFFile},
      {"GIF with any version", "GIFxyz" + padding, CDIBitmap::kGIFFile},
      {"gif in lower case", "gif89a" + padding, CDIBitmap::kUnknownFileFormat},
      {"BM as long as its size", BMHead(64, 64), CDIBitmap::kBMPFile},
      {"BM 40 bytes longer than its size", BMHead(64, 104), CDIBitmap::kBMPFile},
      {"BM 41 bytes longer than its size", BMHead(64, 105), CDIBitmap::kUnknownFileFormat},
      {"BM shorter than its size", BMHead(0xFFFFFFFF, 64), CDIBitmap::kBMPFile},
      {"other bytes", "PNG\r\n\x1a\n" + padding, CDIBitmap::kUnknownFileFormat},
      {"eight bytes of GIF", std::string("GIF89a\x01\x00", 8), CDIBitmap::kGIFFile},
      {"seven bytes of XTRMPIC", "XTRMPIC", CDIBitmap::kUnknownFileFormat},
      {"empty", "", CDIBitmap::kUnknownFileFormat},
  };
  for (const auto& c : cases) {
    const Detected detected = Detect(c.bytes);
    EXPECT_EQ(detected.format, c.format) << c.name;
    EXPECT_EQ(detected.positionAfter, 0) << c.name;
  }
}

TEST(FileFormat, DetectionReadsFromTheCurrentPosition) {
  const std::string bytes = "junk" + std::string("XTRMPIC") + "123";
  const Detected detected = Detect(bytes, 4);
  EXPECT_EQ(detected.format, CDIBitmap::kXTRMPICFile);
  EXPECT_EQ(detected.positionAfter, 4);
}

TEST(FileFormat, LoadRunsTheReaderOfTheDetectedFormat) {
  GIFWriter gif(2, 1, {0x0000FF, 0x00FF00});
  gif.Add(GIFWriter::Image(2, 1, {1, 0})).Trailer();
  BMPLayout bmp;
  bmp.width = 2;
  bmp.bits = 24;
  bmp.pixels = std::string("\x01\x02\x03\x04\x05\x06\0\0", 8);
  XTRMPICLayout xtrmpic;

  struct {
    const char* name;
    std::string bytes;
    DWORD bits;
  } cases[] = {
      {"GIF", gif.Bytes(), 1},
      {"BMP", MakeBMP(bmp), 24},
      {"XTRMPIC", MakeXTRMPIC(xtrmpic), 8},
  };
  for (const auto& c : cases) {
    CDIBitmap bitmap;
    const Outcome outcome = LoadBytes(c.bytes, bitmap);
    ASSERT_TRUE(outcome.loaded) << c.name << ": " << Describe(outcome);
    EXPECT_EQ(bitmap.GetFormat().bitsPerPixel, c.bits) << c.name;
  }
}

TEST(FileFormat, AFileNoReaderRecognisesFailsWithTheUnknownFormatErrorNamingTheStream) {
  CDIBitmap bitmap;
  const Outcome outcome = LoadBytes("\x89PNG\r\n\x1a\n....", bitmap);
  EXPECT_EQ(outcome.errorClass, "CError");
  EXPECT_EQ(outcome.caption, "Bitmap error");
  EXPECT_EQ(outcome.text, "Unknown file format: 'memfile://'");
}

int OpenDescriptors() {
  int count = 0;
  DIR* folder = opendir("/proc/self/fd");
  while (readdir(folder)) ++count;
  closedir(folder);
  return count;
}

TEST(FileFormat, LoadingByURLOpensThroughTheFileSystemAndAlwaysClosesTheFile) {
  const std::string dir = twltest::MakeTempDir("url");
  GIFWriter gif(2, 1, {0x0000FF, 0x00FF00});
  gif.Add(GIFWriter::Image(2, 1, {1, 0})).Trailer();
  twltest::WriteFile(dir + "/good.gif", gif.Bytes());
  twltest::WriteFile(dir + "/bad.gif", gif.Bytes().substr(0, 20));
  const int before = OpenDescriptors();
  struct {
    std::string url;
    DWORD code;  // 0: loads
  } cases[] = {
      {dir + "/good.gif", 0},
      {"file://" + dir + "/good.gif", 0},
      {dir + "/bad.gif", CStreamError::kEndOfStream},
      {dir + "/missing.gif", CStreamError::kFileNotFound},
      {"nosuchscheme://x/good.gif", CStreamError::kUnsupportedProtocol},
  };
  for (const auto& c : cases) {
    CDIBitmap bitmap;
    DWORD code = 0;
    try {
      bitmap.Load(c.url.c_str());
    } catch (CError* error) {
      code = IsKindOf<CStreamError>(error) ? static_cast<CStreamError*>(error)->GetCode() : 0xFFFF;
      DisposeError(error);
    }
    EXPECT_EQ(code, c.code) << c.url;
    EXPECT_EQ(bitmap.HasPixels(), c.code == 0) << c.url;
    EXPECT_EQ(OpenDescriptors(), before) << c.url << ": the file is closed";
  }
}

}  // namespace
