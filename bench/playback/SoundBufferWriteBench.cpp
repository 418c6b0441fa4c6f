// CSoundBuffer::Write of 4 KiB blocks (committed, the account brought up
// to date with every write, as a player writes) against memcpy of the
// same bytes: block after block of a decoded stream of 4 MiB into a ring
// of a second. Prints Write's speed as a share of memcpy's (the goal is at
// least 50 %).
#include <benchmark/benchmark.h>
#include <dsound.h>
#include <twlwin/testing_sound.h>
#include <twlwin/testing_user.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "playback/sound/DirectSoundCalls.h"
#include "playback/sound/SoundBuffer.h"

namespace {

constexpr DWORD kBlock = 4096;
constexpr DWORD kRingBytes = 176400;
constexpr size_t kStreamBytes = size_t{4} << 20;

// The decoded sound a player writes, block by block.
const std::vector<char>& Stream() {
  static const std::vector<char> stream = [] {
    std::vector<char> bytes(kStreamBytes);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7);
    return bytes;
  }();
  return stream;
}

HWND OwnerWindow() {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.lpszClassName = "sound buffer bench owner";
  RegisterClassA(&windowClass);
  return CreateWindowExA(0, windowClass.lpszClassName, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
}

// A second of 44.1 kHz 16-bit stereo on the null sink; it does not play,
// so writes never wait and never underrun.
struct Ring {
  IDirectSound* device = nullptr;
  CSoundBuffer buffer;
  bool ok = false;

  Ring() {
    TwlTestUseManualClock(TRUE);
    if (!TwlTestSetSoundSink("null") || !CreateDirectSoundObject(nullptr, &device)) return;
    if (FAILED(device->SetCooperativeLevel(OwnerWindow(), DSSCL_PRIORITY))) return;
    ok = CSoundBuffer::SetPrimaryFormat(device, 44100, 16, 2) &&
         buffer.Create(device, kRingBytes, 44100, 16, 2, SOUNDBUFFER_VOLUME, nullptr);
  }
  ~Ring() {
    buffer.Release();
    if (device) device->Release();
  }
};

void BM_SoundBufferWrite(benchmark::State& state) {
  static Ring ring;
  if (!ring.ok) {
    state.SkipWithError("no sound buffer");
    return;
  }
  const std::vector<char>& stream = Stream();
  size_t at = 0;
  for (auto _ : state) {
    if (!ring.buffer.Write(stream.data() + at, kBlock, true)) state.SkipWithError("Write failed");
    at = (at + kBlock) % kStreamBytes;
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kBlock);
}
BENCHMARK(BM_SoundBufferWrite)->UseRealTime();

void BM_MemcpyOfTheSameBytes(benchmark::State& state) {
  const std::vector<char>& stream = Stream();
  std::vector<char> ring(kRingBytes);
  size_t from = 0;
  size_t to = 0;
  for (auto _ : state) {
    // As Write lands a block: the part up to the end of the ring, the rest
    // at its start.
    const size_t first = std::min<size_t>(kBlock, kRingBytes - to);
    std::memcpy(ring.data() + to, stream.data() + from, first);
    std::memcpy(ring.data(), stream.data() + from + first, kBlock - first);
    to = (to + kBlock) % kRingBytes;
    from = (from + kBlock) % kStreamBytes;
    benchmark::DoNotOptimize(ring.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kBlock);
}
BENCHMARK(BM_MemcpyOfTheSameBytes)->UseRealTime();

// Keeps each run's time per iteration for the summary.
class Reporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.iterations > 0) seconds_[run.benchmark_name()] = run.real_accumulated_time / run.iterations;
    }
    ConsoleReporter::ReportRuns(runs);
  }
  double Seconds(const std::string& name) const {
    auto found = seconds_.find(name);
    return found == seconds_.end() ? 0 : found->second;
  }

 private:
  std::map<std::string, double> seconds_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  Reporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const double write = reporter.Seconds("BM_SoundBufferWrite/real_time");
  const double copy = reporter.Seconds("BM_MemcpyOfTheSameBytes/real_time");
  if (write > 0 && copy > 0) {
    std::printf("Write of 4 KiB blocks: %.0f %% of memcpy's speed (goal: at least 50 %%)\n", 100.0 * copy / write);
  }
  benchmark::Shutdown();
  return 0;
}
