// Reading a large file: through the disk stream in 64 KiB reads, through
// `fndtool cat`, and through the system's `cat`, all on the same 256 MiB
// file (in the page cache after the first pass), so the three throughputs
// can be compared directly. The goal for the stream is at least 90% of cat.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "foundation/streams/DiskFileStream.h"
#include "support/BigFile.h"

namespace {

using benchfile::FilePath;
using benchfile::kFileSize;
using benchfile::RunShell;
using benchfile::ToDevNull;

constexpr DWORD kChunk = 64 * 1024;

void BM_DiskStreamRead64K(benchmark::State& state) {
  const std::string& path = FilePath();
  auto buffer = std::make_unique<char[]>(kChunk);
  for (auto _ : state) {
    CDiskFileStream stream;
    stream.Open(path.c_str(), kStreamRead | kStreamShareRead, false);
    size_t total = 0;
    for (DWORD got = kChunk; got == kChunk;) {
      got = stream.Read(buffer.get(), kChunk);
      total += got;
    }
    stream.Close();
    benchmark::DoNotOptimize(total);
    if (total != kFileSize) state.SkipWithError("short read");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kFileSize));
}
BENCHMARK(BM_DiskStreamRead64K)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FndtoolCat(benchmark::State& state) { RunShell(state, ToDevNull(benchfile::ProgramPath("fndtool"), "cat")); }
BENCHMARK(BM_FndtoolCat)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SystemCat(benchmark::State& state) { RunShell(state, ToDevNull("cat", "")); }
BENCHMARK(BM_SystemCat)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
