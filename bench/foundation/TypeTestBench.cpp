// The type test runs at every catch site and wrapper lookup: integer
// comparisons along the ancestor list, stopping early.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "foundation/kernel/ClassManager.h"

#include "foundation/kernel/DirectDrawError.h"
#include "foundation/kernel/MemoryError.h"

namespace {

void BM_TypeTestHit(benchmark::State& state) {
  CMemoryError error("Memory error", "Not enough memory.");
  const CTypedObject* object = &error;
  benchmark::DoNotOptimize(object);
  for (auto _ : state) benchmark::DoNotOptimize(IsKindOf<CError>(object));
}
BENCHMARK(BM_TypeTestHit)->Unit(benchmark::kNanosecond);

void BM_TypeTestMiss(benchmark::State& state) {
  CMemoryError error("Memory error", "Not enough memory.");
  const CTypedObject* object = &error;
  benchmark::DoNotOptimize(object);
  for (auto _ : state) benchmark::DoNotOptimize(IsKindOf<CDirectDrawError>(object));
}
BENCHMARK(BM_TypeTestMiss)->Unit(benchmark::kNanosecond);

// A chain as deep as the deepest class trees of the system.
void BM_TypeTestDeepChain(benchmark::State& state) {
  const int depth = static_cast<int>(state.range(0));
  std::vector<CClassRecord> records(static_cast<size_t>(depth), CClassRecord{nullptr, 0, "", nullptr, nullptr, 8});
  std::vector<std::string> names;
  for (int i = 0; i < depth; ++i) names.push_back("Class" + std::to_string(i));
  CClassManager manager;
  for (int i = 0; i < depth; ++i) {
    records[static_cast<size_t>(i)].className = names[static_cast<size_t>(i)].c_str();
    manager.RegisterClass(&records[static_cast<size_t>(i)], i == 0 ? "" : names[static_cast<size_t>(i - 1)].c_str());
  }
  const CClassRecord* leaf = &records.back();
  const CClassRecord* root = &records.front();
  benchmark::DoNotOptimize(leaf);
  for (auto _ : state) benchmark::DoNotOptimize(leaf->IsDerivedFrom(root));
}
BENCHMARK(BM_TypeTestDeepChain)->Arg(4)->Arg(12)->Unit(benchmark::kNanosecond);

}  // namespace
