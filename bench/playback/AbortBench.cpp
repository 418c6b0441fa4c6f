// How quickly a stop reaches a read that hangs in its source: the player's
// session reads from a stream that blocks until it is shut down, another
// thread aborts the session, and each iteration's time runs from the call
// of AbortSession until the read has returned with its error. The goal is
// well under 100 ms; the counter worst_ms shows the slowest abort.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <future>

#include "TestStreams.h"
#include "foundation/kernel/Error.h"
#include "foundation/streams/Stream.h"
#include "foundation/streams/StreamError.h"
#include "foundation/streams/StreamFlags.h"
#include "playback/data/DataSystem.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr DWORD kReadFlags = kStreamRead | kStreamShareRead | kStreamShareWrite | kStreamOpenExistingToo;

PLUGIN_HANDLE Player() { return reinterpret_cast<PLUGIN_HANDLE>(0x100); }

// Reads from the session until the read fails; the moment it returned.
Clock::time_point ReadUntilItFails(CStream* session) {
  char buffer[16];
  try {
    session->Read(buffer, sizeof buffer);
  } catch (CError* error) {
    DisposeError(error);
  }
  return Clock::now();
}

void BM_AbortEndsABlockedRead(benchmark::State& state) {
  const std::string url = teststreams::Blocking("bench");
  CDataSystem& data = GetDataSystem();
  data.SetSessionOwner(kPlayerSession, Player());
  double worst = 0;
  for (auto _ : state) {
    data.SetSessionUrl(kPlayerSession, url.c_str());
    CStream* session = data.OpenStream(url.c_str(), kReadFlags, 0, Player());
    auto reader = std::async(std::launch::async, ReadUntilItFails, session);
    if (!teststreams::WaitUntilReadBlocks(url)) {
      state.SkipWithError("the read never blocked");
      break;
    }
    const Clock::time_point aborted = Clock::now();
    data.AbortSession(kPlayerSession);
    const double seconds = std::chrono::duration<double>(reader.get() - aborted).count();
    session->CloseNoThrow();
    state.SetIterationTime(seconds);
    worst = std::max(worst, seconds);
  }
  data.CloseSession(kPlayerSession, false);
  state.counters["worst_ms"] = 1000.0 * worst;
}
BENCHMARK(BM_AbortEndsABlockedRead)->Unit(benchmark::kMicrosecond)->UseManualTime()->Iterations(200);

}  // namespace
