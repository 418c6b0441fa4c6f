// One poll of a folder listing that brings 20 000 files at once: the
// duplicate test, the listing's sort and every file's sorted position, as
// the file browser's poll does it (which must stay well under its 250 ms
// tick), timed against `LC_ALL=C sort` of the same 20 000 names in the
// same iteration. Counters: merge_ms, sort_ms and merge_over_sort (the
// figure to keep below 3).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "pluginhost/enumeration/FileObjectEnumeration.h"
#include "pluginhost/enumeration/FileObjectEnumerationManager.h"
#include "pluginhost/enumeration/FileObjectEnumerator.h"
#include "pluginhost/enumeration/FileObjectEnumeratorProvider.h"
#include "pluginhost/fileinfo/FileInfoDataBase.h"
#include "pluginhost/fileinfo/FolderInfoDataBase.h"
#include "tests/support/StubConfigurableObject.h"

namespace {

constexpr size_t kFiles = 20000;

class QuietEnumerator : public CFileObjectEnumerator {
 public:
  void OnResults(CFileObjectEnumeration* results, bool) override { delete results; }
  void Abort() override { delete this; }
};

// Hands its context to the benchmark, which fills it.
class BenchProvider : public twltest::StubConfigurableObject<CFileObjectEnumeratorProvider> {
 public:
  BenchProvider() : StubConfigurableObject("bench") {}
  bool RegisterProxyTypes(CProxyDataBase&) override { return true; }
  CFileObjectEnumerator* CreateEnumerator(CFileObjectEnumerationContext& context, const char*, const char*, DWORD,
                                          HWND) override {
    this->context = &context;
    return new QuietEnumerator;
  }
  bool AddMenuItems(CFileObjectMenu&, INT, const char* const*, INT, const char* const*) override { return true; }
  void BeginSkinChange() override {}
  void EndSkinChange() override {}
  bool RestoreSurfaces() override { return true; }

  CFileObjectEnumerationContext* context = nullptr;
};

std::vector<std::string> MakeNames() {
  const std::string letters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 _-.";
  std::mt19937 random(20000);
  std::vector<std::string> names;
  names.reserve(kFiles);
  for (size_t i = 0; i < kFiles; ++i) {
    std::string name = "Track ";
    for (size_t length = 4 + random() % 20; name.size() < length + 6;) name += letters[random() % letters.size()];
    names.push_back(name + std::to_string(i) + ".ogg");
  }
  return names;
}

std::string NamesFile(const std::vector<std::string>& names) {
  const char* tmp = std::getenv("TMPDIR");
  const std::string path = std::string(tmp && *tmp ? tmp : "/tmp") + "/enumeration-bench-names.txt";
  FILE* file = std::fopen(path.c_str(), "w");
  for (const std::string& name : names) std::fprintf(file, "%s\n", name.c_str());
  std::fclose(file);
  return path;
}

double Milliseconds(std::chrono::steady_clock::duration duration) {
  return std::chrono::duration<double, std::milli>(duration).count();
}

void BM_OnePollOf20000FilesAgainstSort(benchmark::State& state) {
  const std::vector<std::string> names = MakeNames();
  const std::string namesFile = NamesFile(names);
  const std::string sort = "LC_ALL=C sort '" + namesFile + "' > /dev/null";
  double mergeTotal = 0;
  double sortTotal = 0;
  for (auto _ : state) {
    state.PauseTiming();
    CFileInfoDataBase files;
    CFolderInfoDataBase folders;
    BenchProvider provider;
    auto manager = std::make_unique<CFileObjectEnumerationManager>();
    manager->Start({&provider}, "bench://folder", nullptr, FOE_FILES | 0x10, files, folders, nullptr);
    for (const std::string& name : names)
      provider.context->AddFile(("file:///music/" + name).c_str(), nullptr, 0, 0);
    state.ResumeTiming();

    const auto mergeStart = std::chrono::steady_clock::now();
    manager->MergeResults();
    const auto mergeEnd = std::chrono::steady_clock::now();
    if (std::system(sort.c_str()) != 0) state.SkipWithError("LC_ALL=C sort failed");
    const auto sortEnd = std::chrono::steady_clock::now();

    state.PauseTiming();
    mergeTotal += Milliseconds(mergeEnd - mergeStart);
    sortTotal += Milliseconds(sortEnd - mergeEnd);
    manager.reset();
    state.ResumeTiming();
  }
  const double iterations = static_cast<double>(state.iterations());
  state.counters["merge_ms"] = mergeTotal / iterations;
  state.counters["sort_ms"] = sortTotal / iterations;
  state.counters["merge_over_sort"] = mergeTotal / sortTotal;
  std::remove(namesFile.c_str());
}
BENCHMARK(BM_OnePollOf20000FilesAgainstSort)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
