// Timing a piece of the engine's work against dd on the same bytes: each
// iteration runs a preparation (untimed), the work, then dd, and the
// counters give both speeds and their ratio (the work's speed over dd's).
#pragma once

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace kilnarbench {

// The folder of the benchmark's files: TMPDIR, else /tmp.
inline std::string BenchFolder() {
  const char* tmp = std::getenv("TMPDIR");
  return std::string(tmp && *tmp ? tmp : "/tmp");
}

// A file of `size` pseudo-random bytes (a multiple of 1 MiB), the same
// for the same seed.
inline std::string MakePatternFile(const std::string& path, uint32_t size, unsigned seed) {
  FILE* file = std::fopen(path.c_str(), "wb");
  std::vector<char> block(1u << 20);
  unsigned state = seed;
  for (uint32_t written = 0; file && written < size; written += block.size()) {
    for (char& byte : block) byte = static_cast<char>((state = state * 1103515245u + 12345u) >> 24);
    std::fwrite(block.data(), 1, block.size(), file);
  }
  if (file) std::fclose(file);
  return path;
}

// `work` answers an empty text when it succeeded, else what failed.
inline void TimeAgainstDd(benchmark::State& state, const std::string& counterName,
                          const std::function<std::string()>& work, const std::string& dd, double megabytes,
                          const std::function<void()>& prepare = {}) {
  const auto seconds = [](std::chrono::steady_clock::duration duration) {
    return std::chrono::duration<double>(duration).count();
  };
  double workSeconds = 0, ddSeconds = 0;
  for (auto _ : state) {
    if (prepare) {
      state.PauseTiming();
      prepare();
      state.ResumeTiming();
    }
    const auto start = std::chrono::steady_clock::now();
    const std::string failure = work();
    if (!failure.empty()) {
      state.SkipWithError(failure.c_str());
      break;
    }
    const auto middle = std::chrono::steady_clock::now();
    if (std::system(dd.c_str()) != 0) {
      state.SkipWithError("dd failed");
      break;
    }
    const auto end = std::chrono::steady_clock::now();
    workSeconds += seconds(middle - start);
    ddSeconds += seconds(end - middle);
  }
  const double total = megabytes * static_cast<double>(state.iterations());
  if (workSeconds > 0 && ddSeconds > 0) {
    state.counters[counterName + "_MiBps"] = total / workSeconds;
    state.counters["dd_MiBps"] = total / ddSeconds;
    state.counters["ratio"] = ddSeconds / workSeconds;
  }
}

}  // namespace kilnarbench
