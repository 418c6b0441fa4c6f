// The four file types with the host's own table: their extensions, what
// each refuses without reading, the thread error a failure leaves, and the
// player's way through them.
#include <gtest/gtest.h>

#include <string>

#include "PictureFixtures.h"
#include "support/TestPaths.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/streams/StreamError.h"
#include "pluginhost/hostapi/HostApi.h"
#include "plugins/pictolan/pictures/PictureLoader.h"

namespace {

using picturetest::BytesStream;

const HostApiTable& TheHost() { return *GetHostApiTable(); }

std::string OnePixelPng() {
  picturetest::PngRecipe recipe;
  recipe.samples = {0};
  return picturetest::MakePng(recipe);
}

TEST(FileTypesTest, ExtensionsAndTypeTextsInThePlayersOrder) {
  const pictolan::ImageFileTypeList types = pictolan::MakeImageFileTypes(&TheHost());
  std::string listed;
  for (const auto& type : types) {
    listed += std::string(type->GetName()) + ":";
    for (INT i = 0; i < type->GetExtensionCount(); ++i) {
      listed += std::string(" ") + type->GetExtension(i).c_str() + "=" + type->GetTypeText(i).c_str();
    }
    listed += "\n";
  }
  EXPECT_EQ(listed,
            "BitmapFileType: bmp=Windows bitmap file gif=Compuserve bitmap file\n"
            "JpegFileType: jpg=JPEG image file jpeg=JPEG image file\n"
            "TiffFileType: tiff=TIFF image file tif=TIFF image file\n"
            "PngFileType: png=PNG image file\n");
}

TEST(FileTypesTest, MatchesExtensionSkipsOneDotAndIgnoresCase) {
  const pictolan::JpegFileType jpeg(&TheHost());
  const std::pair<const char*, bool> rows[] = {
      {"JPEG", true}, {".jpeg", true}, {"jpg", true}, {"jpe", false}, {"..jpg", false}, {"", false}, {".", false}};
  for (const auto& [extension, matches] : rows) EXPECT_EQ(jpeg.MatchesExtension(extension), matches) << extension;
}

TEST(FileTypesTest, TypesRefuseForeignExtensionsWithoutReading) {
  pictolan::BitmapFileType bitmaps(&TheHost());
  pictolan::PngFileType pngs(&TheHost());
  const std::string png = OnePixelPng();
  struct Row {
    pictolan::ImageFileType* type;
    const char* extension;
    bool loads;
  };
  const Row rows[] = {{&bitmaps, ".jpg", false}, {&pngs, ".PNG5", false}, {&pngs, ".PNG", true}, {&pngs, "", false}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.extension);
    BytesStream stream(png);
    CDIBitmap bitmap;
    TheHost().HOST_SetMiscError(HOST_MISC_NONE);
    EXPECT_EQ(row.type->Load(stream, row.extension, bitmap), row.loads);
    if (row.loads) continue;
    EXPECT_EQ(stream.GetPosition(), 0);
    EXPECT_EQ(TheHost().HOST_GetErrorType(), static_cast<DWORD>(HOST_ERROR_MISC));
    EXPECT_EQ(TheHost().HOST_GetErrorCode(), static_cast<DWORD>(HOST_MISC_UNSUPPORTED_FILE_FORMAT));
  }
}

// Gives the first `good` bytes, then throws a read error.
class FailingStream : public BytesStream {
 public:
  FailingStream(const std::string& bytes, DWORD good) : BytesStream(bytes), m_Good(good) {}
  DWORD Read(void* buffer, DWORD size) override {
    if (GetPosition() + size > m_Good) ThrowError<CStreamError>(CStreamError::kGenericRead);
    return BytesStream::Read(buffer, size);
  }

 private:
  DWORD m_Good;
};

TEST(FileTypesTest, AStreamErrorWhileABmpIsReadBecomesAStreamThreadError) {
  std::string bmp;
  picturetest::Shell("convert -size 8x8 xc:red BMP3:'" + picturetest::PicturePath("red.bmp") + "'");
  bmp = twltest::ReadFile(picturetest::PicturePath("red.bmp"));
  FailingStream stream(bmp, 60);
  pictolan::BitmapFileType bitmaps(&TheHost());
  CDIBitmap bitmap;
  EXPECT_FALSE(bitmaps.Load(stream, ".BMP", bitmap));
  EXPECT_EQ(TheHost().HOST_GetErrorType(), static_cast<DWORD>(HOST_ERROR_STREAM));
  EXPECT_EQ(TheHost().HOST_GetErrorCode(), static_cast<DWORD>(CStreamError::kGenericRead));
}

TEST(FileTypesTest, TheLoopTriesEveryTypeAndEndsWithUnsupportedFormat) {
  const pictolan::ImageFileTypeList types = pictolan::MakeImageFileTypes(&TheHost());
  // A PNG named .gif: the GIF reader runs out of data, then every other
  // type refuses.
  const std::string png = OnePixelPng();
  BytesStream stream(png);
  CDIBitmap bitmap;
  std::vector<std::string> refusals;
  const auto* loaded = pictolan::LoadPictureWithTypes(
      types, stream, "/pictures/x.y/picture.gif", bitmap, nullptr, TheHost(),
      [&](const pictolan::ImageFileType& type) {
        refusals.push_back(std::string(type.GetName()) + " " + std::to_string(TheHost().HOST_GetErrorType()));
      });
  EXPECT_EQ(loaded, nullptr);
  EXPECT_EQ(refusals, (std::vector<std::string>{"BitmapFileType 4", "JpegFileType 7", "TiffFileType 7", "PngFileType 7"}));
  EXPECT_EQ(TheHost().HOST_GetErrorType(), static_cast<DWORD>(HOST_ERROR_MISC));
  EXPECT_EQ(TheHost().HOST_GetErrorCode(), static_cast<DWORD>(HOST_MISC_UNSUPPORTED_FILE_FORMAT));

  // The same bytes named .png: read by the last type, from the stream's start.
  stream.Seek(5, kSeekFromStart, nullptr);
  loaded = pictolan::LoadPictureWithTypes(types, stream, "picture.png", bitmap, nullptr, TheHost());
  ASSERT_NE(loaded, nullptr);
  EXPECT_STREQ(loaded->GetName(), "PngFileType");
  EXPECT_EQ(pictolan::PictureExtension("a.b/c"), ".b/c");
  EXPECT_EQ(pictolan::PictureExtension("noextension"), "");
}

}  // namespace
