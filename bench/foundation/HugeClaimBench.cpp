// Loading tiny picture files that claim huge pictures (an RLE8 BMP of 64
// bytes claiming 46000 x 46000 pixels whose data runs out, a GIF claiming
// 40000 x 40000 pixels without image data): each fails, and must do so in
// the time and memory of its data. Prints the time per load and the
// program's peak resident memory afterwards (peak_rss_MB).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <string>

#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/kernel/Error.h"
#include "foundation/streams/MemoryStream.h"

namespace {

void Put16(std::string& out, unsigned value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>(value >> 8 & 0xFF);
}
void Put32(std::string& out, unsigned value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

std::string HugeRLE8File() {
  const std::string rle("\x04\x07\0\0\x04\x07", 6);  // two short rows, then nothing
  std::string out = "BM";
  Put32(out, 64);
  Put32(out, 0);
  Put32(out, 58);  // behind the header and a palette of one colour
  for (unsigned field : {40u, 46000u, 46000u}) Put32(out, field);
  Put16(out, 1);
  Put16(out, 8);
  for (unsigned field : {1u, 6u, 2835u, 2835u, 1u, 0u}) Put32(out, field);
  Put32(out, 0);  // the colour: black
  return out + rle;
}

std::string HugeGIFWithoutData() {
  std::string out = "GIF89a";
  Put16(out, 40000);
  Put16(out, 40000);
  out += std::string("\x84\0\0", 3);  // a 32-colour global table
  for (int i = 0; i < 32; ++i) out += std::string(3, static_cast<char>(i));
  out += ',';
  for (unsigned field : {0u, 0u, 40000u, 40000u}) Put16(out, field);
  out += std::string("\0\x05\0;", 4);  // code size 5, then the empty sub-block at once
  return out;
}

void Load(benchmark::State& state, const std::string& file) {
  for (auto _ : state) {
    CMemoryStream stream;
    stream.OpenCopy(file.data(), static_cast<DWORD>(file.size()), kStreamRead | kStreamSeek);
    CDIBitmap bitmap;
    try {
      bitmap.Load(stream);
      state.SkipWithError("the file loaded");
    } catch (CError* error) {
      DisposeError(error);
    }
    stream.Close();
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_LoadRLE8Claiming46000x46000(benchmark::State& state) { Load(state, HugeRLE8File()); }
void BM_LoadGIFClaiming40000x40000WithoutData(benchmark::State& state) { Load(state, HugeGIFWithoutData()); }
BENCHMARK(BM_LoadRLE8Claiming46000x46000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadGIFClaiming40000x40000WithoutData)->Unit(benchmark::kMicrosecond);

}  // namespace
