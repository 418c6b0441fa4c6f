// The WAV sink mixing one 44.1 kHz 16-bit stereo buffer at 0 dB in the
// primary format, a second of sound per iteration on the manual clock, and
// memcpy of the same 176 400 bytes as the yardstick. Prints how many times
// faster than real time the sink mixes (the goal is at least 2000) and how
// its time compares with memcpy's.
#include <benchmark/benchmark.h>
#include <dsound.h>
#include <twlwin/testing_sound.h>
#include <twlwin/testing_user.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr DWORD kSecondBytes = 176400;
constexpr int kIterationsPerFile = 256;  // a fresh capture file every 45 MB

std::string CapturePath() {
  const char* tmp = std::getenv("TMPDIR");
  return std::string(tmp && *tmp ? tmp : "/tmp") + "/twl-sound-bench-" + std::to_string(getpid()) + ".wav";
}

WAVEFORMATEX CdFormat() {
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 2;
  format.nSamplesPerSec = 44100;
  format.wBitsPerSample = 16;
  format.nBlockAlign = 4;
  format.nAvgBytesPerSec = kSecondBytes;
  return format;
}

HWND OwnerWindow() {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.lpszClassName = "sound bench owner";
  RegisterClassA(&windowClass);
  return CreateWindowExA(0, windowClass.lpszClassName, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
}

// A looping second of noise playing into the WAV sink.
struct Playing {
  IDirectSound* device = nullptr;
  IDirectSoundBuffer* buffer = nullptr;
  std::string path = CapturePath();
  bool ok = false;

  Playing() {
    TwlTestUseManualClock(TRUE);
    if (!TwlTestSetSoundSink(("wav:" + path).c_str())) return;
    if (FAILED(DirectSoundCreate(nullptr, &device, nullptr))) return;
    if (FAILED(device->SetCooperativeLevel(OwnerWindow(), DSSCL_PRIORITY))) return;
    WAVEFORMATEX format = CdFormat();
    DSBUFFERDESC primaryDescription{sizeof(DSBUFFERDESC), DSBCAPS_PRIMARYBUFFER, 0, 0, nullptr};
    IDirectSoundBuffer* primary = nullptr;
    if (FAILED(device->CreateSoundBuffer(&primaryDescription, &primary, nullptr))) return;
    const bool formatSet = SUCCEEDED(primary->SetFormat(&format));
    primary->Release();
    DSBUFFERDESC description{sizeof(DSBUFFERDESC), DSBCAPS_GETCURRENTPOSITION2, kSecondBytes, 0, &format};
    if (!formatSet || FAILED(device->CreateSoundBuffer(&description, &buffer, nullptr))) return;
    LPVOID audio = nullptr;
    DWORD bytes = 0;
    if (FAILED(buffer->Lock(0, kSecondBytes, &audio, &bytes, nullptr, nullptr, 0))) return;
    uint32_t state = 1;
    for (DWORD i = 0; i < bytes; ++i) static_cast<uint8_t*>(audio)[i] = static_cast<uint8_t>((state = state * 1103515245u + 12345u) >> 24);
    buffer->Unlock(audio, bytes, nullptr, 0);
    ok = SUCCEEDED(buffer->Play(0, 0, DSBPLAY_LOOPING));
  }
  ~Playing() {
    if (buffer) buffer->Release();
    if (device) device->Release();
    TwlTestSetSoundSink("null");
    unlink(path.c_str());
  }
};

void BM_WavSinkMixesOneBuffer(benchmark::State& state) {
  static Playing playing;
  if (!playing.ok) {
    state.SkipWithError("no sound output");
    return;
  }
  int sinceNewFile = 0;
  for (auto _ : state) {
    TwlTestAdvanceClock(1000);
    DWORD play = 0;
    playing.buffer->GetCurrentPosition(&play, nullptr);  // mixes the second into the file
    benchmark::DoNotOptimize(play);
    if (++sinceNewFile == kIterationsPerFile) {
      state.PauseTiming();
      TwlTestSetSoundSink(("wav:" + playing.path).c_str());
      sinceNewFile = 0;
      state.ResumeTiming();
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kSecondBytes);
}
BENCHMARK(BM_WavSinkMixesOneBuffer)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_MemcpyOfTheSameBytes(benchmark::State& state) {
  std::vector<char> from(kSecondBytes, 1), to(kSecondBytes);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), kSecondBytes);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kSecondBytes);
}
BENCHMARK(BM_MemcpyOfTheSameBytes)->Unit(benchmark::kMicrosecond)->UseRealTime();

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
  const double mix = reporter.Seconds("BM_WavSinkMixesOneBuffer/real_time");
  const double copy = reporter.Seconds("BM_MemcpyOfTheSameBytes/real_time");
  if (mix > 0) std::printf("WAV sink: %.0f times real time (goal: at least 2000)\n", 1.0 / mix);
  if (mix > 0 && copy > 0) std::printf("WAV sink: %.1f times the time of memcpy of the same bytes\n", mix / copy);
  benchmark::Shutdown();
  return 0;
}
