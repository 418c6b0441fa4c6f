// Reading 100 MiB as the current player does: through the player's session
// slot, in 64 KiB chunks, against the same read straight from the file
// system. A session sleeps 1 ms every 51 200 bytes on purpose; this program
// replaces the layer's SleepEx with one that measures those sleeps, so the
// counter overhead_percent is the session's time beyond its sleeps against
// the file system's time (best pass against best pass). The goal is at
// most 10; sleeps and slept_ms show what was left out.
//
// BM_SessionRead100MiB really sleeps, so its time beyond the sleeps also
// holds what each wake-up costs the next read (caches and the processor
// left to others meanwhile): wake_cost_us is that share per sleep.
// BM_SessionRead100MiBSleepsSkipped counts the sleeps but does not sleep:
// its overhead is the session's own path alone.
#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <limits>
#include <memory>

#include "foundation/filesystem/FileSystem.h"
#include "foundation/streams/Stream.h"
#include "playback/data/DataSystem.h"
#include "support/BigFile.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr DWORD kChunk = 64 * 1024;
constexpr size_t kBytes = 100u << 20;
// What host API slot 136 hands on for a player that reads.
constexpr DWORD kReadFlags = kStreamRead | kStreamShareRead | kStreamOpenExistingToo;

Clock::duration theSlept{};
long theSleeps = 0;
bool theSleepsSkipped = false;

double Seconds(Clock::duration duration) { return std::chrono::duration<double>(duration).count(); }

PLUGIN_HANDLE Player() { return reinterpret_cast<PLUGIN_HANDLE>(0x100); }

// Reads kBytes from the stream and closes it; the time it took.
Clock::duration ReadAndClose(CStream* stream, char* buffer) {
  const Clock::time_point start = Clock::now();
  size_t total = 0;
  while (total < kBytes) {
    const DWORD got = stream->Read(buffer, kChunk);
    total += got;
    if (got < kChunk) break;
  }
  stream->Close();
  benchmark::DoNotOptimize(total);
  return Clock::now() - start;
}

double BestFileSystemSeconds(const std::string& path, char* buffer) {
  double best = std::numeric_limits<double>::infinity();
  for (int pass = 0; pass < 5; ++pass)
    best = std::min(best, Seconds(ReadAndClose(GetFileSystem().Open(path.c_str(), kReadFlags, 0), buffer)));
  return best;
}

void SessionRead(benchmark::State& state, bool skipSleeps) {
  theSleepsSkipped = skipSleeps;
  const std::string& path = benchfile::FilePath();
  auto buffer = std::make_unique<char[]>(kChunk);
  CDataSystem& data = GetDataSystem();
  data.SetSessionOwner(kPlayerSession, Player());
  data.SetSessionUrl(kPlayerSession, path.c_str());
  static const double fileSystemSeconds = BestFileSystemSeconds(path, buffer.get());

  double best = std::numeric_limits<double>::infinity();
  long sleeps = 0;
  double sleptSeconds = 0;
  for (auto _ : state) {
    theSlept = {};
    theSleeps = 0;
    const Clock::duration took = ReadAndClose(data.OpenStream(path.c_str(), kReadFlags, 0, Player()), buffer.get());
    const double beyond = Seconds(took - theSlept);
    if (beyond < best) {
      best = beyond;
      sleeps = theSleeps;
      sleptSeconds = Seconds(theSlept);
    }
  }
  data.CloseSession(kPlayerSession, false);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kBytes));
  state.counters["overhead_percent"] = 100.0 * (best - fileSystemSeconds) / fileSystemSeconds;
  state.counters["file_system_ms"] = 1000.0 * fileSystemSeconds;
  state.counters["beyond_sleeps_ms"] = 1000.0 * best;
  state.counters["sleeps"] = static_cast<double>(sleeps);
  state.counters["slept_ms"] = 1000.0 * sleptSeconds;
  if (!skipSleeps && sleeps > 0)
    state.counters["wake_cost_us"] = 1e6 * std::max(0.0, best - fileSystemSeconds) / static_cast<double>(sleeps);
}

void BM_SessionRead100MiB(benchmark::State& state) { SessionRead(state, false); }
void BM_SessionRead100MiBSleepsSkipped(benchmark::State& state) { SessionRead(state, true); }
BENCHMARK(BM_SessionRead100MiB)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_SessionRead100MiBSleepsSkipped)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

}  // namespace

// The layer's SleepEx, timed: the program's own definition comes first, so
// the session's yields land here and go on to the layer (unless skipped).
extern "C" DWORD SleepEx(DWORD milliseconds, BOOL alertable) {
  using SleepExFunction = DWORD (*)(DWORD, BOOL);
  static const auto layer = reinterpret_cast<SleepExFunction>(dlsym(RTLD_NEXT, "SleepEx"));
  const Clock::time_point start = Clock::now();
  const DWORD result = theSleepsSkipped ? 0 : layer(milliseconds, alertable);
  theSlept += Clock::now() - start;
  ++theSleeps;
  return result;
}
