// GetString runs wherever a text is shown, worker error paths included.
#include <benchmark/benchmark.h>

#include <string>

#include "foundation/kernel/Localizer.h"
#include "foundation/kernel/Str.h"

namespace {

// The usual case: nothing supplies texts, the default comes back.
void BM_GetStringDefault(benchmark::State& state) {
  CStringLocalizer& localizer = GetLocalizer();
  for (auto _ : state) benchmark::DoNotOptimize(localizer.GetString("CStreamError.genericRead", "Read error."));
}
BENCHMARK(BM_GetStringDefault)->Unit(benchmark::kNanosecond)->ThreadRange(1, 4);

// A filled key table of a translated build.
void BM_GetStringFromKeyTable(benchmark::State& state) {
  static CStringLocalizer* localizer = [] {
    auto* filled = new CStringLocalizer;
    for (int i = 0; i < 2000; ++i) filled->AddString(("CSomeClass.Item" + std::to_string(i)).c_str(), "translated");
    return filled;
  }();
  for (auto _ : state) benchmark::DoNotOptimize(localizer->GetString("CSomeClass.Item1234", "default"));
}
BENCHMARK(BM_GetStringFromKeyTable)->Unit(benchmark::kNanosecond);

// What a caller does with the answer: copy it into a text.
void BM_GetStringIntoText(benchmark::State& state) {
  for (auto _ : state) {
    CStr text(GetLocalizer().GetString("CMemoryError.Text", "Not enough memory."));
    benchmark::DoNotOptimize(text.c_str());
  }
}
BENCHMARK(BM_GetStringIntoText)->Unit(benchmark::kNanosecond);

}  // namespace
