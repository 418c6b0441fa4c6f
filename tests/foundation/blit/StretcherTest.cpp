// The bitmap stretcher: unscaled copies give the source back, the nearest
// copy rounds positions to the nearest pixel, and the smoothing copy
// blends in steps of 1/32 without changing colours it blends with
// themselves.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "foundation/bitmaps/BitmapStretcher.h"
#include "foundation/bitmaps/PixelFormat.h"

namespace {

CPixelFormat RgbFormat(DWORD bytes) {
  CPixelFormat format;
  switch (bytes) {
    case 1: format.SetMasks(8, 0xE0, 0x1C, 0x03); break;
    case 2: format.SetMasks(16, 0xF800, 0x7E0, 0x1F); break;
    case 3: format.SetMasks(24, 0xFF0000, 0xFF00, 0xFF); break;
    default: format.SetMasks(32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000); break;
  }
  return format;
}

// A block of pixels in memory, rows `pitch` bytes apart.
struct Block {
  DWORD width, height, bytes;
  INT pitch;
  std::vector<BYTE> memory;

  Block(DWORD w, DWORD h, DWORD b, unsigned seed = 0) : width(w), height(h), bytes(b), pitch(static_cast<INT>(w * b + 3)) {
    memory.resize(static_cast<size_t>(pitch) * h);
    std::mt19937 random(seed);
    for (BYTE& byte : memory) byte = seed ? static_cast<BYTE>(random()) : 0;
  }
  BYTE* Row(DWORD y) { return memory.data() + static_cast<size_t>(pitch) * y; }
  DWORD Get(DWORD x, DWORD y) {
    DWORD value = 0;
    for (DWORD b = 0; b < bytes; ++b) value |= static_cast<DWORD>(Row(y)[x * bytes + b]) << (8 * b);
    return value;
  }
  void Set(DWORD x, DWORD y, DWORD value) {
    for (DWORD b = 0; b < bytes; ++b) Row(y)[x * bytes + b] = static_cast<BYTE>(value >> (8 * b));
  }
  std::vector<DWORD> Pixels() {
    std::vector<DWORD> pixels;
    for (DWORD y = 0; y < height; ++y)
      for (DWORD x = 0; x < width; ++x) pixels.push_back(Get(x, y));
    return pixels;
  }
};

enum class Copy { Nearest, Smooth };

void Stretch(Copy copy, const CBitmapStretcher& stretcher, Block& to, Block& from, DWORD xStep, DWORD yStep,
             DWORD xStart = 0, DWORD yStart = 0) {
  if (copy == Copy::Nearest)
    stretcher.StretchNearest(to.memory.data(), to.pitch, static_cast<INT>(to.width), static_cast<INT>(to.height),
                             from.memory.data(), from.pitch, xStep, yStep, xStart, yStart);
  else
    stretcher.StretchSmooth(to.memory.data(), to.pitch, static_cast<INT>(to.width), static_cast<INT>(to.height),
                            from.memory.data(), from.pitch, xStep, yStep, xStart, yStart);
}

TEST(BitmapStretcher, UnscaledCopiesReproduceTheSourceAtEveryPixelSize) {
  for (DWORD bytes = 1; bytes <= 4; ++bytes) {
    for (Copy copy : {Copy::Nearest, Copy::Smooth}) {
      Block from(9, 7, bytes, 3), to(9, 7, bytes);
      CBitmapStretcher stretcher;
      stretcher.SetFormat(RgbFormat(bytes));
      Stretch(copy, stretcher, to, from, 0x10000, 0x10000);
      EXPECT_EQ(to.Pixels(), from.Pixels()) << bytes << " bytes, " << (copy == Copy::Nearest ? "nearest" : "smooth");

      // Rows stored bottom-up: start at the last row and step backwards.
      Block flipped(9, 7, bytes);
      if (copy == Copy::Nearest)
        stretcher.StretchNearest(flipped.Row(6), -flipped.pitch, 9, 7, from.Row(6), -from.pitch, 0x10000, 0x10000, 0, 0);
      else
        stretcher.StretchSmooth(flipped.Row(6), -flipped.pitch, 9, 7, from.Row(6), -from.pitch, 0x10000, 0x10000, 0, 0);
      EXPECT_EQ(flipped.Pixels(), from.Pixels()) << bytes << " bytes, bottom-up";
    }
  }
}

TEST(BitmapStretcher, NearestTakesThePixelUnderEachRoundedPosition) {
  Block from(40, 30, 3, 5);
  CBitmapStretcher stretcher;
  stretcher.SetFormat(RgbFormat(3));
  const struct {
    DWORD width, height, xStep, yStep, xStart, yStart;
  } cases[] = {
      {5, 3, 0x10000, 0x10000, 0x8000, 0},  // half a pixel on: pixels 1, 2, 3, ...
      {12, 9, 0x2AAAA, 0x30000, 0x7FFF, 0x8000},
      {37, 27, 0x8000, 0x9999, 0x1234, 0xFFFF},
      {20, 10, 0x1E000, 0x2F000, 0, 0},
  };
  for (const auto& c : cases) {
    Block to(c.width, c.height, 3);
    Stretch(Copy::Nearest, stretcher, to, from, c.xStep, c.yStep, c.xStart, c.yStart);
    for (DWORD i = 0; i < c.height; ++i) {
      for (DWORD j = 0; j < c.width; ++j) {
        const DWORD sx = static_cast<DWORD>((uint64_t{c.xStart} + 0x8000 + uint64_t{j} * c.xStep) >> 16);
        const DWORD sy = static_cast<DWORD>((uint64_t{c.yStart} + 0x8000 + uint64_t{i} * c.yStep) >> 16);
        ASSERT_EQ(to.Get(j, i), from.Get(sx, sy)) << "pixel " << j << "," << i << " of " << c.width << "x" << c.height;
      }
    }
  }
  Block shifted(5, 1, 3);
  Stretch(Copy::Nearest, stretcher, shifted, from, 0x10000, 0x10000, 0x8000, 0);
  for (DWORD j = 0; j < 5; ++j) EXPECT_EQ(shifted.Get(j, 0), from.Get(j + 1, 0)) << "rounds up at one half";
}

TEST(BitmapStretcher, BlendingAColourWithItselfGivesItBack) {
  for (DWORD v = 0; v < 256; ++v)
    for (DWORD w = 1; w < 32; ++w) ASSERT_EQ(CBitmapStretcher::Blend(v, v, w), v) << v << " by " << w << "/32";

  // Equal neighbours at every fraction, in every pixel size.
  for (DWORD bytes = 1; bytes <= 4; ++bytes) {
    Block from(4, 4, bytes);
    const DWORD colour = bytes == 4 ? 0x00A5C3E1 : 0x00A5C3E1 & ((1u << (8 * bytes)) - 1);
    for (DWORD y = 0; y < 4; ++y)
      for (DWORD x = 0; x < 4; ++x) from.Set(x, y, colour);
    CBitmapStretcher stretcher;
    stretcher.SetFormat(RgbFormat(bytes));
    Block to(9, 9, bytes);
    Stretch(Copy::Smooth, stretcher, to, from, 0x5555, 0x4321, 0x0FFF, 0xABCD);
    for (DWORD pixel : to.Pixels()) ASSERT_EQ(pixel, colour) << bytes << " bytes";
  }
}

TEST(BitmapStretcher, FractionsBelowOneThirtySecondCopyAndAboveBlend) {
  CBitmapStretcher stretcher;
  stretcher.SetFormat(RgbFormat(4));  // with alpha bits
  Block from(2, 2, 4);
  from.Set(0, 0, 0x80000000);  // black, half alpha
  from.Set(1, 0, 0x80FFFFFF);  // white, half alpha
  from.Set(0, 1, 0x80FFFFFF);
  from.Set(1, 1, 0x80FFFFFF);
  const struct {
    DWORD xStart, yStart, expected;
    const char* name;
  } cases[] = {
      {0, 0, 0x80000000, "no fraction: copied with its alpha"},
      {2047, 2047, 0x80000000, "just under 1/32: copied with its alpha"},
      {2048, 0, 0x00070707, "1/32 to the right: blended, alpha 0"},
      {0, 2048, 0x00070707, "1/32 down"},
      {0x8000, 0, 0x007F7F7F, "half way to the right"},
      {0x8000, 0x8000, 0x00BFBFBF, "half way both ways"},
      {0xF800, 0, 0x00F0F0F0, "31/32 to the right"},
  };
  for (const auto& c : cases) {
    Block to(1, 1, 4);
    Stretch(Copy::Smooth, stretcher, to, from, 0, 0, c.xStart, c.yStart);
    EXPECT_EQ(to.Get(0, 0), c.expected) << c.name;
  }
}

TEST(BitmapStretcher, WholePixelsInASmoothingStartMoveTheSource) {
  // Callers pass fractions; a whole part must not become a weight past
  // the table, but the same move of the source address.
  Block from(12, 9, 3, 21);
  CBitmapStretcher stretcher;
  stretcher.SetFormat(RgbFormat(3));
  Block moved(5, 4, 3), started(5, 4, 3);
  stretcher.StretchSmooth(moved.memory.data(), moved.pitch, 5, 4, from.Row(2) + 3 * 3, from.pitch, 0x14000, 0x11000,
                          0x4000, 0x9000);
  Stretch(Copy::Smooth, stretcher, started, from, 0x14000, 0x11000, 0x34000, 0x29000);
  EXPECT_EQ(started.Pixels(), moved.Pixels());
}

TEST(BitmapStretcher, FirstAndLastPixelsStayOnTheSourcesFirstAndLast) {
  Block from(7, 5, 2, 9);
  CBitmapStretcher stretcher;
  stretcher.SetFormat(RgbFormat(2));
  // Where the step is not a whole number of 1/65536, the smoothing copy's
  // last position falls a little short of the last pixel and blends.
  const struct {
    DWORD width, height;
    bool exactSteps;
  } sizes[] = {{13, 9, true}, {4, 3, true}, {7, 5, true}, {19, 14, false}};
  for (const auto& size : sizes) {
    Block to(size.width, size.height, 2);
    const DWORD xStep = ((7u << 16) - 65536) / (size.width - 1);
    const DWORD yStep = ((5u << 16) - 65536) / (size.height - 1);
    for (Copy copy : {Copy::Nearest, Copy::Smooth}) {
      if (copy == Copy::Smooth && !size.exactSteps) continue;
      Stretch(copy, stretcher, to, from, xStep, yStep);
      const std::string name = std::to_string(size.width) + "x" + std::to_string(size.height) +
                               (copy == Copy::Nearest ? " nearest" : " smooth");
      EXPECT_EQ(to.Get(0, 0), from.Get(0, 0)) << name;
      EXPECT_EQ(to.Get(size.width - 1, 0), from.Get(6, 0)) << name;
      EXPECT_EQ(to.Get(0, size.height - 1), from.Get(0, 4)) << name;
      EXPECT_EQ(to.Get(size.width - 1, size.height - 1), from.Get(6, 4)) << name;
    }
  }
}

TEST(BitmapStretcher, FormatsWithoutUsableChannelsAreCopiedByNearestPixel) {
  CPixelFormat indexed;
  indexed.SetIndexed(8, nullptr);
  CPixelFormat wide;  // ten bits a channel: values beyond the blend table
  wide.SetMasks(32, 0x3FF00000, 0xFFC00, 0x3FF);
  for (const CPixelFormat& format : {indexed, wide}) {
    const DWORD bytes = format.bitsPerPixel / 8;
    Block from(3, 3, bytes, 4), smooth(5, 5, bytes), nearest(5, 5, bytes);
    CBitmapStretcher stretcher;
    stretcher.SetFormat(format);
    EXPECT_FALSE(stretcher.HasColorChannels());
    Stretch(Copy::Smooth, stretcher, smooth, from, 0x8000, 0x8000);
    Stretch(Copy::Nearest, stretcher, nearest, from, 0x8000, 0x8000);
    EXPECT_EQ(smooth.Pixels(), nearest.Pixels()) << format.bitsPerPixel << " bits";
  }

  CBitmapStretcher unset;
  Block from(3, 3, 4, 4), to(3, 3, 4);
  Stretch(Copy::Nearest, unset, to, from, 0x10000, 0x10000);
  Stretch(Copy::Smooth, unset, to, from, 0x10000, 0x10000);
  for (DWORD pixel : to.Pixels()) EXPECT_EQ(pixel, 0u) << "a stretcher without a format copies nothing";
}

}  // namespace
