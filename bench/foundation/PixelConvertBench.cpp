// Pixel conversion of a full-HD frame between RGB565 and 24 or 32 bits,
// beside memcpy of the same source bytes on the same machine. Throughput
// counts the source bytes of the frame.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/bitmaps/PixelConverter.h"

namespace {

constexpr DWORD kWidth = 1920;
constexpr DWORD kHeight = 1080;

CPixelFormat Format(DWORD bits) {
  CPixelFormat format;
  if (bits == 16)
    format.SetMasks(16, 0xF800, 0x7E0, 0x1F);
  else
    format.SetMasks(bits, 0xFF0000, 0xFF00, 0xFF);
  return format;
}

std::vector<BYTE> RandomFrame(DWORD bytesPerPixel) {
  std::vector<BYTE> frame(static_cast<size_t>(kWidth) * kHeight * bytesPerPixel);
  std::mt19937 random(42);
  for (BYTE& byte : frame) byte = static_cast<BYTE>(random());
  return frame;
}

void BM_ConvertFrame(benchmark::State& state) {
  const DWORD sourceBits = static_cast<DWORD>(state.range(0));
  const DWORD destinationBits = static_cast<DWORD>(state.range(1));
  const std::vector<BYTE> source = RandomFrame(sourceBits / 8);
  std::vector<BYTE> destination(static_cast<size_t>(kWidth) * kHeight * (destinationBits / 8));
  CPixelConverter converter;
  converter.Prepare(Format(destinationBits), Format(sourceBits), nullptr);
  for (auto _ : state) {
    converter.ConvertRows(destination.data(), 0, source.data(), 0, kWidth, kHeight);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(source.size()));
}
BENCHMARK(BM_ConvertFrame)
    ->ArgNames({"from", "to"})
    ->Args({16, 24})
    ->Args({16, 32})
    ->Args({24, 16})
    ->Args({32, 16})
    ->Unit(benchmark::kMicrosecond);

// The same bytes copied, for scale.
void BM_MemcpyFrame(benchmark::State& state) {
  const std::vector<BYTE> source = RandomFrame(static_cast<DWORD>(state.range(0)) / 8);
  std::vector<BYTE> destination(source.size());
  for (auto _ : state) {
    std::memcpy(destination.data(), source.data(), source.size());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(source.size()));
}
BENCHMARK(BM_MemcpyFrame)->ArgName("bits")->Arg(16)->Arg(24)->Arg(32)->Unit(benchmark::kMicrosecond);

// The whole bitmap path: a new block, one conversion, the old block freed.
void BM_ChangeFormatFrame(benchmark::State& state) {
  const std::vector<BYTE> pixels = RandomFrame(2);
  CDIBitmap bitmap;
  for (auto _ : state) {
    state.PauseTiming();
    bitmap.Create(kWidth, kHeight, -1, Format(16), true);
    std::memcpy(bitmap.GetPixels(), pixels.data(), pixels.size());
    state.ResumeTiming();
    bitmap.ChangeFormat(Format(32), nullptr);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(pixels.size()));
}
BENCHMARK(BM_ChangeFormatFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
