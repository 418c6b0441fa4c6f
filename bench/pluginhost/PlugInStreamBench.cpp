// A plug-in's stream against a local file: the same 256 MiB file (in the
// page cache after the first pass) read by `twltool hostcat --plugins` in
// 64 KiB chunks as "tstream://" + path, served by the TestStreams
// provider, and as "file://" + path, served by the host itself. Both runs
// load the same plug-ins. The counter tstream_speed_vs_file is the plug-in
// stream's speed against the file's (best pass against best pass, each
// run as a whole program, start and plug-ins included); the goal is at
// least 0.9.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <limits>
#include <string>

#include "support/BigFile.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string HostCat(const char* scheme) {
  return "'" + benchfile::ProgramPath("twltool") + "' hostcat --plugins '" TWL_BENCH_STREAMS_DIR "' --chunk 65536 '" +
         scheme + benchfile::FilePath() + "' > /dev/null 2> /dev/null";
}

// One timed run; 0 when the command fails.
double Seconds(const std::string& command) {
  const Clock::time_point start = Clock::now();
  if (std::system(command.c_str()) != 0) return 0;
  return std::chrono::duration<double>(Clock::now() - start).count();
}

constexpr int kPasses = 11;

// The passes alternate between the two URLs, so that a busy moment of the
// machine falls on both alike; each keeps its best pass.
void BM_HostCatPlugInStreamVsFile(benchmark::State& state) {
  const std::string file = HostCat("file://");
  const std::string stream = HostCat("tstream://");
  double fileSeconds = std::numeric_limits<double>::infinity();
  double streamSeconds = std::numeric_limits<double>::infinity();
  for (auto _ : state) {
    for (int pass = 0; pass < kPasses; ++pass) {
      const double fileTime = Seconds(file);
      const double streamTime = Seconds(stream);
      if (fileTime == 0 || streamTime == 0) {
        state.SkipWithError("twltool hostcat failed");
        return;
      }
      fileSeconds = std::min(fileSeconds, fileTime);
      streamSeconds = std::min(streamSeconds, streamTime);
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 2 * kPasses *
                          static_cast<int64_t>(benchfile::kFileSize));
  state.counters["file_MiB_per_s"] = 256.0 / fileSeconds;
  state.counters["tstream_MiB_per_s"] = 256.0 / streamSeconds;
  state.counters["tstream_speed_vs_file"] = fileSeconds / streamSeconds;
}
BENCHMARK(BM_HostCatPlugInStreamVsFile)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace
