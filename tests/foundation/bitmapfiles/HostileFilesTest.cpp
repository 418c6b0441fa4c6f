// Hostile picture files and animations, one per fault (data/, made by
// data/make_hostile_files.py): each fails cleanly with its error, or is
// cut off where the picture still makes sense, and nothing is read or
// written outside a block (the test build runs under AddressSanitizer).
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "LargestAllocation.h"
#include "ReaderTestSupport.h"
#include "foundation/bitmapfiles/GIFAnimation.h"
#include "foundation/bitmapfiles/GIFFrame.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "support/TestPaths.h"

using namespace readertest;

namespace {

std::string Fixture(const std::string& name) {
  return twltest::SourceDir() + "/tests/foundation/bitmapfiles/data/" + name;
}

struct HostileFile {
  const char* file;
  const char* fault;
  // Failing files: the error's class, code and text (with the file's URL
  // where the text names it).
  const char* errorClass;
  DWORD code;
  const char* text;
  // Files that load: what the picture must show.
  std::function<void(const CDIBitmap&)> check;
};

const char* const kCorrupted = "The file is corrupted.";
const char* const kEndOfStream = "The end of the stream was reached.";
const char* const kUnsupportedFormat = "Unsupported file format: ";
const char* const kTooLarge = "The bitmap is too large.";

TEST(HostileFiles, EachFailsCleanlyOrIsCutOffWhereThePictureStaysSensible) {
  const HostileFile cases[] = {
      {"gif-minimum-code-size-12.gif", "an LZW minimum code size of 12 would overrun the code table", "CStreamError",
       14, kCorrupted, nullptr},
      {"gif-minimum-code-size-0.gif", "an LZW minimum code size of 0", "CStreamError", 14, kCorrupted, nullptr},
      {"gif-huge-dimensions.gif", "65535 x 65535 pixels of 8 bits do not fit in memory", "CError", 0, kTooLarge,
       nullptr},
      {"gif-code-beyond-next-entry.gif", "a code two entries beyond the table", "CStreamError", 14, kCorrupted,
       nullptr},
      {"gif-first-code-names-next-entry.gif", "the first code names the next entry, which has no string yet",
       "CStreamError", 14, kCorrupted, nullptr},
      {"gif-image-data-cut-short.gif", "the image data ends before its terminator", "CStreamError", 8, kEndOfStream,
       nullptr},
      {"gif-no-colour-table.gif", "neither a global nor a local colour table", "CError", 0, kUnsupportedFormat, nullptr},
      {"gif-unknown-block-before-image.gif", "a block of unknown type before the image", "CError", 0, kUnsupportedFormat,
       nullptr},
      {"gif-more-indices-than-pixels.gif", "six indices for four pixels: the surplus is dropped", nullptr, 0, nullptr,
       [](const CDIBitmap& bitmap) {
         EXPECT_EQ(PixelAt(bitmap, 0, 0), 1u);
         EXPECT_EQ(PixelAt(bitmap, 1, 0), 0u);
         EXPECT_EQ(PixelAt(bitmap, 0, 1), 1u);
         EXPECT_EQ(PixelAt(bitmap, 1, 1), 0u);
       }},
      {"gif-data-after-end-code.gif", "300 bytes of codes after the end code are not decoded", nullptr, 0, nullptr,
       [](const CDIBitmap& bitmap) {
         EXPECT_EQ(PixelAt(bitmap, 0, 0), 1u);
         EXPECT_EQ(PixelAt(bitmap, 1, 0), 0u);
       }},
      {"gif-local-colour-table.gif", "the code size byte follows the local colour table", nullptr, 0, nullptr,
       [](const CDIBitmap& bitmap) {
         EXPECT_EQ(ColorAt(bitmap, 0, 0), 0x0000FF00u);
         EXPECT_EQ(ColorAt(bitmap, 1, 0), 0x00FF0000u);
       }},
      {"bmp-colour-count-ffffffff.bmp", "a colour count of 0xFFFFFFFF", "CError", 0, kUnsupportedFormat, nullptr},
      {"bmp-huge-dimensions.bmp", "0x7FFFFFFF x 0x7FFFFFFF pixels", "CError", 0, kTooLarge, nullptr},
      {"bmp-row-size-wraps-32-bits.bmp", "a row of 2^32 bytes, 0 when counted in 32 bits", "CError", 0, kTooLarge,
       nullptr},
      {"bmp-negative-width.bmp", "a negative width", "CStreamError", 14, kCorrupted, nullptr},
      {"bmp-rle-delta-below-last-row.bmp", "an RLE move below the last row", "CStreamError", 14, kCorrupted, nullptr},
      {"bmp-rle-delta-past-right-edge.bmp", "an RLE move past the right edge", "CStreamError", 14, kCorrupted,
       nullptr},
      {"bmp-rle-run-past-row-end.bmp", "an RLE run longer than the row", "CStreamError", 14, kCorrupted, nullptr},
      {"bmp-rle-literal-past-data-end.bmp", "RLE literal pixels beyond the data", "CStreamError", 14, kCorrupted,
       nullptr},
      {"bmp-rle-size-beyond-file.bmp", "an RLE data size of nearly 4 GiB in a small file", "CStreamError", 8,
       kEndOfStream, nullptr},
      {"bmp-pixel-offset-inside-palette.bmp", "the pixels start inside the palette", "CError", 0, kUnsupportedFormat,
       nullptr},
      {"bmp-rle-delta-to-row-after-last.bmp", "an RLE move to the row after the last ends the picture", nullptr, 0,
       nullptr,
       [](const CDIBitmap& bitmap) {
         EXPECT_EQ(PixelAt(bitmap, 0, 1), 9u);  // the bottom row comes first
         for (DWORD x = 0; x < 4; ++x) EXPECT_EQ(PixelAt(bitmap, x, 0), 0u) << x;
       }},
      {"bmp-index-beyond-palette.bmp", "a pixel value of 200 with two colours listed shows black", nullptr, 0, nullptr,
       [](const CDIBitmap& bitmap) {
         EXPECT_EQ(ShownColorAt(bitmap, 0, 0), 0x000000FFu);
         EXPECT_EQ(ShownColorAt(bitmap, 1, 0), 0u);
       }},
      {"bmp-rle-huge-picture-little-data.bmp", "64 bytes claiming 46000 x 46000 pixels, their RLE data running out",
       "CStreamError", 14, kCorrupted, nullptr},
      {"gif-huge-image-without-data.gif", "a 40000 x 40000 image without any image data", "CStreamError", 14,
       kCorrupted, nullptr},
      {"gif-zero-width.gif", "an image of width 0", "CStreamError", 14, kCorrupted, nullptr},
      {"xtrmpic-0x0.xtrmpic", "a picture of width and height 0", "CStreamError", 14, kCorrupted, nullptr},
      {"img-two-index-flags.img", "an 8-bit format with the 4-bit index flag too", "CError", 0, "Invalid bitmap data.",
       nullptr},
      {"xtrmpic-negative-width.xtrmpic", "a negative width", "CStreamError", 14, kCorrupted, nullptr},
      {"xtrmpic-12-bits-per-pixel.xtrmpic", "12 bits per pixel", "CStreamError", 14, kCorrupted, nullptr},
      {"xtrmpic-data-size-mismatch.xtrmpic", "a data size other than the rows'", "CStreamError", 14, kCorrupted,
       nullptr},
      {"xtrmpic-huge-dimensions.xtrmpic", "32767 x 32767 pixels of 32 bits", "CError", 0, kTooLarge, nullptr},
      {"img-data-size-mismatch.img", "a data size other than the rows'", "CError", 0, "Invalid bitmap data.",
       nullptr},
      {"img-palette-count-ffffffff.img", "a palette count of 0xFFFFFFFF", "CError", 0, "Invalid bitmap data.",
       nullptr},
  };
  for (const HostileFile& c : cases) {
    const std::string path = Fixture(c.file);
    CDIBitmap bitmap;
    const Outcome outcome = LoadFile(path, bitmap);
    const std::string name = std::string(c.file) + " (" + c.fault + ")";
    if (c.check) {
      ASSERT_TRUE(outcome.loaded) << name << ": " << Describe(outcome);
      c.check(bitmap);
      continue;
    }
    EXPECT_EQ(outcome.errorClass, c.errorClass) << name << ": " << Describe(outcome);
    EXPECT_EQ(outcome.code, c.code) << name;
    EXPECT_EQ(outcome.text.rfind(c.text, 0), 0u) << name << ": " << outcome.text;
    if (outcome.errorClass == "CStreamError" || std::string(c.text) == kUnsupportedFormat) {
      EXPECT_NE(outcome.text.find(path), std::string::npos) << name << ": the text names the file";
    }
    EXPECT_FALSE(bitmap.HasPixels()) << name;
  }
}

// A few bytes claiming a huge picture cost the memory of their data, not
// of the picture: nothing large is allocated before the data fails.
TEST(HostileFiles, TinyFilesClaimingHugePicturesAllocateNothingLarge) {
  for (const char* file :
       {"bmp-rle-huge-picture-little-data.bmp", "gif-huge-image-without-data.gif", "bmp-rle-size-beyond-file.bmp"}) {
    CDIBitmap bitmap;
    Outcome outcome;
    size_t largest = 0;
    {
      LargestAllocation watch;
      outcome = LoadFile(Fixture(file), bitmap);
      largest = watch.Bytes();
    }
    EXPECT_FALSE(outcome.loaded) << file;
    EXPECT_LT(largest, size_t{1} << 20) << file;
  }
  // A separate frame is refused by its size before it is decoded.
  CGIFAnimation animation;
  Outcome outcome;
  size_t largest = 0;
  {
    LargestAllocation watch;
    outcome = LoadAnimationFile(Fixture("anim-huge-frame-on-small-screen.gif"), animation, false);
    largest = watch.Bytes();
  }
  EXPECT_FALSE(outcome.loaded);
  EXPECT_LT(largest, size_t{1} << 20);
}

// Hostile animations, read as separate and as composed frames: an outcome
// per mode (a frame count when it loads, else the error's class, code and
// text).
TEST(HostileFiles, AnimationsFailCleanlyOrAreCutOffInEachMode) {
  struct Mode {
    INT frames;  // -1: fails
    const char* errorClass;
    DWORD code;
    const char* text;
  };
  const Mode corrupted = {-1, "CStreamError", 14, kCorrupted};
  const Mode tooLarge = {-1, "CError", 0, kTooLarge};
  const struct {
    const char* file;
    const char* fault;
    Mode separate;
    Mode composed;
  } cases[] = {
      {"anim-frame-past-canvas.gif", "a 3 x 3 image at (2, 1) on a 4 x 3 screen: composed, it is clipped", corrupted,
       {1, nullptr, 0, nullptr}},
      {"anim-frame-left-beyond-screen.gif", "an image starting beyond the screen's right edge", corrupted, corrupted},
      {"anim-huge-screen.gif", "a 65535 x 65535 screen is 8 GiB of RGB565 canvas", {1, nullptr, 0, nullptr},
       tooLarge},
      {"anim-many-frames-large-screen.gif", "129 frames of 2048 x 2048 take more than 1 GiB together",
       {129, nullptr, 0, nullptr}, tooLarge},
      {"anim-huge-frame-on-small-screen.gif", "a 65534 x 65534 image on a 4 x 3 screen: composed, it is clipped",
       corrupted, {1, nullptr, 0, nullptr}},
      {"anim-graphic-control-size-5.gif", "a graphic control block of 5 bytes", corrupted, corrupted},
      {"anim-transparent-index-beyond-palette.gif", "transparent index 7 of 2 colours: composed, it matches nothing",
       corrupted, {1, nullptr, 0, nullptr}},
  };
  for (const auto& c : cases) {
    for (const bool compose : {false, true}) {
      const Mode& expected = compose ? c.composed : c.separate;
      const std::string name = std::string(c.file) + (compose ? " composed" : " separate") + " (" + c.fault + ")";
      CGIFAnimation animation;
      const Outcome outcome = LoadAnimationFile(Fixture(c.file), animation, compose);
      if (expected.frames >= 0) {
        ASSERT_TRUE(outcome.loaded) << name << ": " << Describe(outcome);
        EXPECT_EQ(animation.GetFrameCount(), expected.frames) << name;
        continue;
      }
      EXPECT_EQ(outcome.errorClass, expected.errorClass) << name << ": " << Describe(outcome);
      EXPECT_EQ(outcome.code, expected.code) << name;
      EXPECT_EQ(outcome.text.rfind(expected.text, 0), 0u) << name << ": " << outcome.text;
      EXPECT_EQ(animation.GetFrameCount(), 0) << name;
    }
  }
}

}  // namespace
