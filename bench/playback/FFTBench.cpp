// CFFT against FFTW (FFTW_ESTIMATE plans, double precision) at the size
// the visualizers use most, 1024 points: the in-place transform of complex
// points (loaded from the samples each time), and the whole spectrum of 1024 samples (load, transform,
// 512 magnitudes) against FFTW's real-input transform and its magnitudes.
// Prints each of CFFT's times as a multiple of FFTW's (the goal is at most
// 4 times).
#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "playback/frequency/FFT.h"

namespace {

constexpr int kBits = 10;
constexpr int kPoints = 1 << kBits;

const std::vector<int16_t>& Samples() {
  static const std::vector<int16_t> samples = [] {
    std::mt19937 random(1);
    std::uniform_int_distribution<int> value(-12000, 12000);
    std::vector<int16_t> made(kPoints);
    for (auto& sample : made) sample = static_cast<int16_t>(value(random));
    return made;
  }();
  return samples;
}

void BM_CFFTTransform(benchmark::State& state) {
  CFFT fft;
  fft.Init(kBits);
  std::vector<CFFT::Complex> work(kPoints);
  for (auto _ : state) {
    for (int i = 0; i < kPoints; ++i) work[i] = {Samples()[i] * 4096, 0};
    fft.Transform(work.data(), kBits);
    benchmark::DoNotOptimize(work.data());
  }
}
BENCHMARK(BM_CFFTTransform);

void BM_FFTWTransform(benchmark::State& state) {
  fftw_complex* data = fftw_alloc_complex(kPoints);
  fftw_plan plan = fftw_plan_dft_1d(kPoints, data, data, FFTW_FORWARD, FFTW_ESTIMATE);
  for (auto _ : state) {
    for (int i = 0; i < kPoints; ++i) {
      data[i][0] = Samples()[i];
      data[i][1] = 0;
    }
    fftw_execute(plan);
    benchmark::DoNotOptimize(data);
  }
  fftw_destroy_plan(plan);
  fftw_free(data);
}
BENCHMARK(BM_FFTWTransform);

void BM_CFFTSpectrum(benchmark::State& state) {
  CFFT fft;
  fft.Init(kBits);
  std::vector<int16_t> out(kPoints / 2);
  for (auto _ : state) {
    fft.ComputeMagnitudes(out.data(), Samples().data(), kBits);
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_CFFTSpectrum);

// The same spectrum from FFTW: samples in, sqrt(k) x |X_k| / N out.
void BM_FFTWSpectrum(benchmark::State& state) {
  double* in = fftw_alloc_real(kPoints);
  fftw_complex* bins = fftw_alloc_complex(kPoints / 2 + 1);
  fftw_plan plan = fftw_plan_dft_r2c_1d(kPoints, in, bins, FFTW_ESTIMATE);
  std::vector<int16_t> out(kPoints / 2);
  for (auto _ : state) {
    for (int i = 0; i < kPoints; ++i) in[i] = Samples()[i];
    fftw_execute(plan);
    for (int k = 1; k <= kPoints / 2; ++k) {
      const double magnitude = std::sqrt(k * (bins[k][0] * bins[k][0] + bins[k][1] * bins[k][1])) / kPoints;
      out[k - 1] = static_cast<int16_t>(std::fmin(magnitude, 32767));
    }
    benchmark::DoNotOptimize(out.data());
  }
  fftw_destroy_plan(plan);
  fftw_free(bins);
  fftw_free(in);
}
BENCHMARK(BM_FFTWSpectrum);

// Keeps each run's time per iteration for the summary.
class Reporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.iterations > 0) seconds_[run.benchmark_name()] = run.cpu_accumulated_time / run.iterations;
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
  const struct {
    const char* what;
    const char* ours;
    const char* theirs;
  } pairs[] = {{"transform", "BM_CFFTTransform", "BM_FFTWTransform"},
               {"spectrum", "BM_CFFTSpectrum", "BM_FFTWSpectrum"}};
  for (const auto& pair : pairs) {
    const double ours = reporter.Seconds(pair.ours);
    const double theirs = reporter.Seconds(pair.theirs);
    if (ours > 0 && theirs > 0) {
      std::printf("CFFT %s of %d points: %.2f times FFTW's time (goal: at most 4)\n", pair.what, kPoints,
                  ours / theirs);
    }
  }
  benchmark::Shutdown();
  return 0;
}
