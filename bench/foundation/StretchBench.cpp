// The bitmap stretcher scaling a 640x480 picture to 1920x1080, by nearest
// pixel and smoothly, beside pixman doing the same scaling with its
// nearest and bilinear filters, in 32-bit and RGB565 pixels. Throughput
// counts the destination pixels' bytes.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstdint>
#include <random>
#include <vector>

#include "foundation/bitmaps/BitmapStretcher.h"
#include "foundation/bitmaps/PixelFormat.h"

namespace {

constexpr int kSourceWidth = 640;
constexpr int kSourceHeight = 480;
constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

// Smooth colour areas with some noise, like a skin bitmap.
std::vector<uint32_t> SourcePixels(int bytes) {
  std::vector<uint32_t> words(static_cast<size_t>(kSourceWidth) * kSourceHeight * bytes / 4);
  auto* bytePointer = reinterpret_cast<uint8_t*>(words.data());
  std::mt19937 random(3);
  for (size_t i = 0; i < words.size() * 4; ++i)
    bytePointer[i] = static_cast<uint8_t>((i / 97) * 13 + (random() & 7));
  return words;
}

CPixelFormat Format(int bytes) {
  CPixelFormat format;
  if (bytes == 2)
    format.SetMasks(16, 0xF800, 0x7E0, 0x1F);
  else
    format.SetMasks(32, 0xFF0000, 0xFF00, 0xFF);
  return format;
}

DWORD Step(int source, int destination) {
  return static_cast<DWORD>(((static_cast<uint64_t>(source) << 16) - 65536) / (destination - 1));
}

void BM_Stretcher(benchmark::State& state) {
  const bool smooth = state.range(0) != 0;
  const int bytes = static_cast<int>(state.range(1));
  std::vector<uint32_t> source = SourcePixels(bytes);
  std::vector<uint32_t> destination(static_cast<size_t>(kWidth) * kHeight * bytes / 4);
  CBitmapStretcher stretcher;
  stretcher.SetFormat(Format(bytes));
  const DWORD xStep = Step(kSourceWidth, kWidth), yStep = Step(kSourceHeight, kHeight);
  for (auto _ : state) {
    if (smooth)
      stretcher.StretchSmooth(destination.data(), kWidth * bytes, kWidth, kHeight, source.data(),
                              kSourceWidth * bytes, xStep, yStep, 0, 0);
    else
      stretcher.StretchNearest(destination.data(), kWidth * bytes, kWidth, kHeight, source.data(),
                               kSourceWidth * bytes, xStep, yStep, 0, 0);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kWidth * kHeight * bytes);
}
BENCHMARK(BM_Stretcher)
    ->ArgNames({"smooth", "bytes"})
    ->Args({0, 4})
    ->Args({1, 4})
    ->Args({0, 2})
    ->Args({1, 2})
    ->Unit(benchmark::kMillisecond);

void BM_Pixman(benchmark::State& state) {
  const bool bilinear = state.range(0) != 0;
  const int bytes = static_cast<int>(state.range(1));
  const pixman_format_code_t format = bytes == 2 ? PIXMAN_r5g6b5 : PIXMAN_x8r8g8b8;
  std::vector<uint32_t> sourcePixels = SourcePixels(bytes);
  std::vector<uint32_t> destinationPixels(static_cast<size_t>(kWidth) * kHeight * bytes / 4);
  pixman_image_t* source =
      pixman_image_create_bits(format, kSourceWidth, kSourceHeight, sourcePixels.data(), kSourceWidth * bytes);
  pixman_image_t* destination =
      pixman_image_create_bits(format, kWidth, kHeight, destinationPixels.data(), kWidth * bytes);
  // Destination coordinates map to source coordinates: the inverse scale.
  pixman_transform_t transform;
  pixman_transform_init_scale(&transform, pixman_double_to_fixed(double(kSourceWidth) / kWidth),
                              pixman_double_to_fixed(double(kSourceHeight) / kHeight));
  pixman_image_set_transform(source, &transform);
  pixman_image_set_filter(source, bilinear ? PIXMAN_FILTER_BILINEAR : PIXMAN_FILTER_NEAREST, nullptr, 0);
  pixman_image_set_repeat(source, PIXMAN_REPEAT_PAD);
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_SRC, source, nullptr, destination, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kWidth * kHeight * bytes);
  pixman_image_unref(destination);
  pixman_image_unref(source);
}
BENCHMARK(BM_Pixman)
    ->ArgNames({"bilinear", "bytes"})
    ->Args({0, 4})
    ->Args({1, 4})
    ->Args({0, 2})
    ->Args({1, 2})
    ->Unit(benchmark::kMillisecond);

}  // namespace
