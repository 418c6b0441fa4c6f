// GIF animations: separate frames with their positions, timing, disposal
// and keys; composed frames with the previous frames, disposal and
// transparency applied; images shown for no time merged into the next.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ReaderTestSupport.h"
#include "foundation/bitmapfiles/GIFAnimation.h"
#include "foundation/bitmapfiles/GIFFrame.h"
#include "foundation/kernel/ClassManager.h"

using namespace readertest;

namespace {

// Palette entries 0x00BBGGRR whose RGB565 forms lose nothing.
const std::vector<DWORD> kColors = {0x00000000, 0x000000F8, 0x0000FC00, 0x00F80000,
                                    0x00F8FCF8, 0x0000FCF8, 0x00F800F8, 0x00F8FC00};
constexpr WORD kBlack = 0x0000;
constexpr WORD kRed = 0xF800;
constexpr WORD kGreen = 0x07E0;
constexpr WORD kBlue = 0x001F;
constexpr WORD kWhite = 0xFFFF;

std::vector<BYTE> Filled(size_t count, BYTE index) { return std::vector<BYTE>(count, index); }

// The canvas colours of a composed frame, row by row.
std::vector<std::vector<DWORD>> Canvas(const CGIFFrame& frame) {
  std::vector<std::vector<DWORD>> rows(frame.GetHeight());
  for (DWORD y = 0; y < frame.GetHeight(); ++y)
    for (DWORD x = 0; x < frame.GetWidth(); ++x) rows[y].push_back(PixelAt(frame, x, y));
  return rows;
}

// A canvas of the given size in one colour, with rectangles painted on it.
struct Paint {
  DWORD left, top, width, height;
  WORD color;
};
std::vector<std::vector<DWORD>> Expected(DWORD width, DWORD height, WORD background, std::vector<Paint> paints) {
  std::vector<std::vector<DWORD>> rows(height, std::vector<DWORD>(width, background));
  for (const Paint& paint : paints)
    for (DWORD y = paint.top; y < paint.top + paint.height && y < height; ++y)
      for (DWORD x = paint.left; x < paint.left + paint.width && x < width; ++x) rows[y][x] = paint.color;
  return rows;
}

TEST(GIFAnimation, SeparateFramesKeepPositionTimingDisposalAndTransparentIndex) {
  GIFWriter gif(40, 30, kColors);
  const DWORD methods[] = {0, 1, 2, 3, 4, 7};
  const DWORD disposals[] = {0, 0, 1, 2, 0, 0};
  for (DWORD i = 0; i < 6; ++i) {
    gif.GraphicControl(methods[i], 5 + i, i % 2 ? static_cast<int>(i) : -1);
    gif.Add(GIFWriter::Image(3, 2, Filled(6, static_cast<BYTE>(i))).At(static_cast<WORD>(10 + i), 20));
  }
  gif.Add(GIFWriter::Image(2, 2, Filled(4, 7)).At(38, 28));  // no graphic control
  gif.Trailer();
  CGIFAnimation animation;
  const Outcome outcome = LoadAnimationBytes(gif.Bytes(), animation, false);
  ASSERT_TRUE(outcome.loaded) << Describe(outcome);
  EXPECT_EQ(animation.GetScreenWidth(), 40u);
  EXPECT_EQ(animation.GetScreenHeight(), 30u);
  ASSERT_EQ(animation.GetFrameCount(), 7);
  for (DWORD i = 0; i < 6; ++i) {
    const CGIFFrame& frame = *animation.GetFrame(static_cast<INT>(i));
    EXPECT_EQ(frame.GetLeft(), 10 + i) << i;
    EXPECT_EQ(frame.GetTop(), 20u) << i;
    EXPECT_EQ(frame.GetDelay(), (5 + i) * 10) << i;
    EXPECT_EQ(frame.GetDisposal(), disposals[i]) << "GIF disposal method " << methods[i];
    EXPECT_EQ(frame.HasColorKey(), i % 2 == 1) << i;
    if (i % 2) {
      EXPECT_EQ(frame.GetColorKey(), i);
    }
    EXPECT_EQ(frame.GetWidth(), 3u);
    EXPECT_EQ(frame.GetFormat().bitsPerPixel, 4u) << "8 colours take 4 bits";
    EXPECT_EQ(ColorAt(frame, 2, 1), kColors[i]) << i;
  }
  const CGIFFrame& last = *animation.GetFrame(6);
  EXPECT_EQ(last.GetLeft(), 38u);
  EXPECT_EQ(last.GetDelay(), 0u);
  EXPECT_EQ(last.GetDisposal(), 0u);
  EXPECT_FALSE(last.HasColorKey());
  EXPECT_EQ(last.GetFormat().GetPalette(), animation.GetGlobalPalette()) << "the global palette is shared";
}

TEST(GIFAnimation, ATransparentIndexBeyondThePaletteFailsASeparateFrameButTheCountItselfPasses) {
  for (const int index : {8, 9}) {
    GIFWriter gif(4, 4, kColors);
    gif.GraphicControl(0, 1, index).Add(GIFWriter::Image(2, 2, Filled(4, 1))).Trailer();
    CGIFAnimation animation;
    const Outcome outcome = LoadAnimationBytes(gif.Bytes(), animation, false);
    if (index == 8) {
      ASSERT_TRUE(outcome.loaded) << Describe(outcome);
      EXPECT_EQ(animation.GetFrame(0)->GetColorKey(), 8u);
    } else {
      EXPECT_EQ(outcome.errorClass, "CStreamError");
      EXPECT_EQ(outcome.code, 14u);
      EXPECT_EQ(animation.GetFrameCount(), 0);
    }
  }
}

TEST(GIFAnimation, TheStreamMayEndWithoutTrailerAndTheSignatureMayBeInLowerCase) {
  GIFWriter gif(4, 4, kColors, "gif89a");
  gif.GraphicControl(0, 10).Add(GIFWriter::Image(4, 4, Filled(16, 1)));
  gif.GraphicControl(0, 10).Add(GIFWriter::Image(4, 4, Filled(16, 2)));
  for (const bool compose : {false, true}) {
    CGIFAnimation animation;
    const Outcome outcome = LoadAnimationBytes(gif.Bytes(), animation, compose);
    ASSERT_TRUE(outcome.loaded) << Describe(outcome);
    EXPECT_EQ(animation.GetFrameCount(), 2);
  }
}

TEST(GIFAnimation, EmptyExtensionsAndOthersThanGraphicControlArePassedOver) {
  GIFWriter gif(2, 1, kColors);
  gif.Raw(std::string("\x21\xFE\x00", 3))  // an empty comment
      .Extension(0xFF, "NETSCAPE2.0\x03\x01\x00\x00")
      .Extension(0x01, std::string(600, 'p'))
      .Add(GIFWriter::Image(2, 1, {1, 2}))
      .Trailer();
  CGIFAnimation animation;
  const Outcome outcome = LoadAnimationBytes(gif.Bytes(), animation, false);
  ASSERT_TRUE(outcome.loaded) << Describe(outcome);
  ASSERT_EQ(animation.GetFrameCount(), 1);
  EXPECT_EQ(ColorAt(*animation.GetFrame(0), 1, 0), kColors[2]);
}

TEST(GIFAnimation, BadStreamsFailAndLeaveTheAnimationEmpty) {
  const std::string frame = GIFWriter(4, 4, kColors).Add(GIFWriter::Image(4, 4, Filled(16, 1))).Bytes();
  const size_t header = 13 + 24;
  struct {
    const char* fault;
    std::string file;
    bool compose;
    const char* errorClass;
    DWORD code;
  } cases[] = {
      {"wrong signature", "GIT" + frame.substr(3), false, "CStreamError", 14},
      {"screen descriptor cut short", frame.substr(0, 9), false, "CStreamError", 8},
      {"screen width 0", GIFWriter(0, 4, kColors).Add(GIFWriter::Image(0, 4)).Bytes(), false, "CError", 0},
      {"no colour table", GIFWriter(4, 4).Add(GIFWriter::Image(4, 4, Filled(16, 1))).Bytes(), false, "CError", 0},
      {"graphic control of 5 bytes", frame.substr(0, header) + std::string("\x21\xF9\x05\0\0\0\0\0\0", 9), false,
       "CStreamError", 14},
      {"graphic control cut short", frame.substr(0, header) + std::string("\x21\xF9\x04\0", 4), false, "CStreamError",
       8},
      {"unknown block", frame.substr(0, header) + "\x99", false, "CStreamError", 14},
      {"image data cut short", frame.substr(0, frame.size() - 2), false, "CStreamError", 8},
      {"a separate frame reaching past the screen",
       GIFWriter(4, 4, kColors).Add(GIFWriter::Image(3, 3, Filled(9, 1)).At(2, 0)).Bytes(), false, "CStreamError", 14},
      {"a composed frame starting beyond the screen",
       GIFWriter(4, 4, kColors).Add(GIFWriter::Image(1, 1, Filled(1, 1)).At(5, 0)).Bytes(), true, "CStreamError", 14},
      {"a composed screen too large for memory",
       GIFWriter(0xFFFF, 0xFFFF, kColors).Add(GIFWriter::Image(1, 1, Filled(1, 1))).Bytes(), true, "CError", 0},
  };
  for (const auto& c : cases) {
    // A first good load shows that a failed one empties the animation.
    CGIFAnimation animation;
    ASSERT_TRUE(LoadAnimationBytes(frame, animation, c.compose).loaded);
    const Outcome outcome = LoadAnimationBytes(c.file, animation, c.compose);
    EXPECT_EQ(outcome.errorClass, c.errorClass) << c.fault << ": " << Describe(outcome);
    EXPECT_EQ(outcome.code, c.code) << c.fault;
    EXPECT_EQ(animation.GetFrameCount(), 0) << c.fault;
    EXPECT_EQ(animation.GetScreenWidth(), 0u) << c.fault;
    EXPECT_EQ(animation.GetGlobalPalette(), nullptr) << c.fault;
  }
}

TEST(GIFAnimation, AScreenSizedOpaqueFirstFrameIsDrawnWholeAndASmallerOneLiesOnBlack) {
  GIFWriter full(3, 2, kColors);
  full.Add(GIFWriter::Image(3, 2, {1, 2, 3, 4, 5, 6})).Trailer();
  CGIFAnimation animation;
  ASSERT_TRUE(LoadAnimationBytes(full.Bytes(), animation, true).loaded);
  const CGIFFrame& frame = *animation.GetFrame(0);
  EXPECT_EQ(frame.GetFormat().bitsPerPixel, 16u);
  EXPECT_EQ(frame.GetFormat().redMask, 0xF800u);
  EXPECT_EQ(Canvas(frame), (std::vector<std::vector<DWORD>>{{kRed, kGreen, kBlue}, {kWhite, 0xFFE0, 0xF81F}}));

  GIFWriter small(5, 4, kColors);
  small.Add(GIFWriter::Image(2, 2, Filled(4, 4)).At(1, 2)).Trailer();
  ASSERT_TRUE(LoadAnimationBytes(small.Bytes(), animation, true).loaded);
  EXPECT_EQ(Canvas(*animation.GetFrame(0)), Expected(5, 4, kBlack, {{1, 2, 2, 2, kWhite}}));
  EXPECT_EQ(animation.GetFrame(0)->GetRectangleLeft(), 1u);
  EXPECT_EQ(animation.GetFrame(0)->GetRectangleTop(), 2u);
}

TEST(GIFAnimation, ComposedFramesApplyTheDisposalOfTheFramesBefore) {
  // A fills the screen red and is restored to the background; B paints a
  // green square and is restored to the picture before it; C paints blue.
  GIFWriter gif(6, 5, kColors);
  gif.GraphicControl(2, 10).Add(GIFWriter::Image(6, 5, Filled(30, 1)).At(0, 0));
  gif.GraphicControl(0, 10).Add(GIFWriter::Image(2, 2, Filled(4, 1)).At(4, 3));
  gif.GraphicControl(3, 10).Add(GIFWriter::Image(2, 2, Filled(4, 2)).At(1, 1));
  gif.GraphicControl(0, 10).Add(GIFWriter::Image(1, 1, Filled(1, 3)).At(0, 0));
  gif.Trailer();
  CGIFAnimation animation;
  const Outcome outcome = LoadAnimationBytes(gif.Bytes(), animation, true);
  ASSERT_TRUE(outcome.loaded) << Describe(outcome);
  ASSERT_EQ(animation.GetFrameCount(), 4);
  EXPECT_EQ(Canvas(*animation.GetFrame(0)), Expected(6, 5, kRed, {}));
  EXPECT_EQ(animation.GetFrame(0)->GetRectangleDisposal(), CGIFFrame::kRestoreBackground);
  // A's area black, then a red square.
  EXPECT_EQ(Canvas(*animation.GetFrame(1)), Expected(6, 5, kBlack, {{4, 3, 2, 2, kRed}}));
  EXPECT_EQ(Canvas(*animation.GetFrame(2)), Expected(6, 5, kBlack, {{4, 3, 2, 2, kRed}, {1, 1, 2, 2, kGreen}}));
  EXPECT_EQ(animation.GetFrame(2)->GetRectangleDisposal(), CGIFFrame::kRestorePrevious);
  // B is skipped: C starts from the frame before it.
  EXPECT_EQ(Canvas(*animation.GetFrame(3)), Expected(6, 5, kBlack, {{4, 3, 2, 2, kRed}, {0, 0, 1, 1, kBlue}}));
  for (INT i = 0; i < 4; ++i) {
    EXPECT_EQ(animation.GetFrame(i)->GetDelay(), 100u);
    EXPECT_EQ(animation.GetFrame(i)->GetLeft(), 0u);
    EXPECT_EQ(animation.GetFrame(i)->GetDisposal(), 0u);
  }
}

TEST(GIFAnimation, TransparentPixelsLeaveTheCanvasAsPrepared) {
  GIFWriter gif(3, 1, kColors);
  gif.GraphicControl(0, 10).Add(GIFWriter::Image(3, 1, Filled(3, 4)));
  gif.GraphicControl(0, 10, 0).Add(GIFWriter::Image(3, 1, {0, 1, 0})).Trailer();
  CGIFAnimation animation;
  ASSERT_TRUE(LoadAnimationBytes(gif.Bytes(), animation, true).loaded);
  EXPECT_EQ(Canvas(*animation.GetFrame(1)), (std::vector<std::vector<DWORD>>{{kWhite, kRed, kWhite}}));
  EXPECT_FALSE(animation.GetFrame(1)->HasColorKey());
}

TEST(GIFAnimation, ImagesShownForNoTimeMergeIntoTheFrameOfTheNextImage) {
  // Red for 100 ms, then a green square with no delay and a blue one: one
  // frame shows both squares.
  GIFWriter gif(4, 2, kColors);
  gif.GraphicControl(0, 10).Add(GIFWriter::Image(4, 2, Filled(8, 1)));
  gif.GraphicControl(0, 0).Add(GIFWriter::Image(1, 1, Filled(1, 2)).At(0, 0));
  gif.GraphicControl(0, 20).Add(GIFWriter::Image(1, 1, Filled(1, 3)).At(3, 1));
  std::string ended = gif.Bytes();
  gif.Trailer();
  CGIFAnimation animation;
  ASSERT_TRUE(LoadAnimationBytes(gif.Bytes(), animation, true).loaded);
  ASSERT_EQ(animation.GetFrameCount(), 2);
  EXPECT_EQ(Canvas(*animation.GetFrame(1)), Expected(4, 2, kRed, {{0, 0, 1, 1, kGreen}, {3, 1, 1, 1, kBlue}}));
  EXPECT_EQ(animation.GetFrame(1)->GetDelay(), 200u);
  EXPECT_EQ(animation.GetFrame(1)->GetRectangleLeft(), 3u) << "the rectangle of the last image";

  // Separate frames keep every image.
  ASSERT_TRUE(LoadAnimationBytes(gif.Bytes(), animation, false).loaded);
  EXPECT_EQ(animation.GetFrameCount(), 3);

  // Ending after an image with no delay drops its frame...
  GIFWriter cut(4, 2, kColors);
  cut.GraphicControl(0, 10).Add(GIFWriter::Image(4, 2, Filled(8, 1)));
  cut.GraphicControl(0, 0).Add(GIFWriter::Image(1, 1, Filled(1, 2))).Trailer();
  ASSERT_TRUE(LoadAnimationBytes(cut.Bytes(), animation, true).loaded);
  EXPECT_EQ(animation.GetFrameCount(), 1);
  EXPECT_EQ(Canvas(*animation.GetFrame(0)), Expected(4, 2, kRed, {}));
  // ... unless it is the only one.
  GIFWriter only(4, 2, kColors);
  only.GraphicControl(0, 0).Add(GIFWriter::Image(4, 2, Filled(8, 2))).Trailer();
  ASSERT_TRUE(LoadAnimationBytes(only.Bytes(), animation, true).loaded);
  ASSERT_EQ(animation.GetFrameCount(), 1);
  EXPECT_EQ(Canvas(*animation.GetFrame(0)), Expected(4, 2, kGreen, {}));
}

TEST(GIFAnimation, AnImageShownForNoTimeAndDisposedOfIsNotDrawn) {
  // A red screen; a green full-screen image with no delay that is restored
  // to the background (not drawn: its area goes black at once), and one
  // restored to the previous picture (not drawn at all); then a blue dot.
  for (const DWORD method : {2u, 3u}) {
    GIFWriter gif(3, 2, kColors);
    gif.GraphicControl(0, 10).Add(GIFWriter::Image(3, 2, Filled(6, 1)));
    gif.GraphicControl(method, 0).Add(GIFWriter::Image(3, 2, Filled(6, 2)));
    gif.GraphicControl(0, 10).Add(GIFWriter::Image(1, 1, Filled(1, 3)).At(2, 1)).Trailer();
    CGIFAnimation animation;
    ASSERT_TRUE(LoadAnimationBytes(gif.Bytes(), animation, true).loaded);
    ASSERT_EQ(animation.GetFrameCount(), 2);
    const WORD under = method == 2 ? kBlack : kRed;
    EXPECT_EQ(Canvas(*animation.GetFrame(1)), Expected(3, 2, under, {{2, 1, 1, 1, kBlue}})) << "method " << method;
  }
}

TEST(GIFAnimation, AComposedImageReachingPastTheCanvasIsClipped) {
  GIFWriter gif(4, 3, kColors);
  gif.GraphicControl(0, 10).Add(GIFWriter::Image(3, 3, Filled(9, 2)).At(2, 1));
  gif.GraphicControl(0, 10).Add(GIFWriter::Image(5, 1, Filled(5, 3)).At(4, 2)).Trailer();
  CGIFAnimation animation;
  const Outcome outcome = LoadAnimationBytes(gif.Bytes(), animation, true);
  ASSERT_TRUE(outcome.loaded) << Describe(outcome);
  ASSERT_EQ(animation.GetFrameCount(), 2);
  EXPECT_EQ(Canvas(*animation.GetFrame(0)), Expected(4, 3, kBlack, {{2, 1, 2, 2, kGreen}}));
  EXPECT_EQ(Canvas(*animation.GetFrame(1)), Expected(4, 3, kBlack, {{2, 1, 2, 2, kGreen}})) << "at the right edge";
}

TEST(GIFAnimation, FramesTogetherStayWithinTheirMemoryLimit) {
  // 2048 x 2048 RGB565 frames take 8 MiB each: 129 of them pass 1 GiB.
  GIFWriter gif(2048, 2048, kColors);
  for (int i = 0; i < 129; ++i) gif.GraphicControl(0, 1).Add(GIFWriter::Image(1, 1, Filled(1, 1)));
  gif.Trailer();
  CGIFAnimation animation;
  const Outcome outcome = LoadAnimationBytes(gif.Bytes(), animation, true);
  EXPECT_EQ(outcome.text, "The bitmap is too large.") << Describe(outcome);
  EXPECT_EQ(animation.GetFrameCount(), 0);
}

TEST(GIFAnimation, TheClassesAreRegisteredUnderTheirBases) {
  const CClassRecord* animation = GetClassManager().FindClass("CGIFAnimation");
  const CClassRecord* frame = GetClassManager().FindClass("CGIFFrame");
  ASSERT_NE(animation, nullptr);
  ASSERT_NE(frame, nullptr);
  EXPECT_TRUE(frame->IsDerivedFrom(&CDIBitmap::ClassRecord));
  EXPECT_TRUE(animation->IsDerivedFrom(&CTypedObject::ClassRecord));
  EXPECT_FALSE(animation->IsDerivedFrom(&CDIBitmap::ClassRecord));
}

}  // namespace
