// The compression wrapper's cost over calling zlib directly, on a 64 MiB
// block packed and unpacked the way compiled skins do it (whole block,
// Z_FINISH): CZLib::CompressBlock writing to a memory stream beside
// deflate writing to a buffer, CZLib::DecompressBlock beside inflate.
// Throughput counts the unpacked bytes.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstring>
#include <random>
#include <vector>

#include "foundation/streams/MemoryStream.h"
#include "foundation/zlib/ZLib.h"

namespace {

constexpr size_t kSize = 64u << 20;

// A mixture zlib meets in skins: runs of repeated rows and noise.
const std::vector<BYTE>& Data() {
  static const std::vector<BYTE> data = [] {
    std::vector<BYTE> bytes(kSize);
    std::mt19937 random(1);
    for (size_t i = 0; i < kSize; ++i) bytes[i] = (i / 4096) % 3 == 0 ? static_cast<BYTE>(random()) : "row of pixels "[i % 14];
    return bytes;
  }();
  return data;
}

// The direct way: the same steps as CompressBlock, the bytes copied out.
size_t DeflateDirect(const std::vector<BYTE>& data, std::vector<BYTE>& out, std::vector<BYTE>& buffer) {
  z_stream stream{};
  deflateInit(&stream, Z_DEFAULT_COMPRESSION);
  stream.next_in = const_cast<BYTE*>(data.data());
  stream.avail_in = static_cast<uInt>(data.size());
  size_t total = 0;
  int result;
  do {
    stream.next_out = buffer.data();
    stream.avail_out = static_cast<uInt>(buffer.size());
    result = deflate(&stream, Z_FINISH);
    const size_t produced = buffer.size() - stream.avail_out;
    std::memcpy(out.data() + total, buffer.data(), produced);
    total += produced;
  } while (result == Z_OK);
  deflateEnd(&stream);
  return total;
}

void BM_DeflateDirect(benchmark::State& state) {
  const std::vector<BYTE>& data = Data();
  std::vector<BYTE> out(compressBound(static_cast<uLong>(kSize))), buffer(kSize);
  for (auto _ : state) benchmark::DoNotOptimize(DeflateDirect(data, out, buffer));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kSize));
}
BENCHMARK(BM_DeflateDirect)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_CZLibCompressBlock(benchmark::State& state) {
  const std::vector<BYTE>& data = Data();
  const DWORD capacity = static_cast<DWORD>(compressBound(static_cast<uLong>(kSize)));
  CMemoryStream stream;
  stream.Open(new BYTE[capacity], capacity, kStreamWrite | kStreamSeek, 0, false);
  for (auto _ : state) {
    stream.Seek(0, kSeekFromStart, nullptr);
    CZLib zlib;
    benchmark::DoNotOptimize(zlib.CompressBlock(data.data(), static_cast<DWORD>(data.size()), stream));
  }
  stream.Close();
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kSize));
}
BENCHMARK(BM_CZLibCompressBlock)->Unit(benchmark::kMillisecond)->Iterations(3);

std::vector<BYTE> Packed() {
  std::vector<BYTE> out(compressBound(static_cast<uLong>(kSize))), buffer(kSize);
  out.resize(DeflateDirect(Data(), out, buffer));
  return out;
}

void BM_InflateDirect(benchmark::State& state) {
  const std::vector<BYTE> packed = Packed();
  std::vector<BYTE> out(kSize);
  for (auto _ : state) {
    z_stream stream{};
    inflateInit(&stream);
    stream.next_in = const_cast<BYTE*>(packed.data());
    stream.avail_in = static_cast<uInt>(packed.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    benchmark::DoNotOptimize(inflate(&stream, Z_FINISH));
    inflateEnd(&stream);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kSize));
}
BENCHMARK(BM_InflateDirect)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_CZLibDecompressBlock(benchmark::State& state) {
  const std::vector<BYTE> packed = Packed();
  std::vector<BYTE> out(kSize);
  for (auto _ : state) {
    CZLib zlib;
    benchmark::DoNotOptimize(zlib.DecompressBlock(packed.data(), static_cast<DWORD>(packed.size()), out.data(),
                                                  static_cast<DWORD>(out.size())));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kSize));
}
BENCHMARK(BM_CZLibDecompressBlock)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
