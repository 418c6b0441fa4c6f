// A folder of 70,000 files whose long names all map to LONGNAME.DAT:
// inserting the nodes in listing order and renaming the folder under name
// mode 5, which numbers all but one of the names. Both were quadratic in
// the folder's size (the child array rebuilt per insertion, the counter
// restarted per child); the time per iteration is the figure, seconds at
// most.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

#include "kilnar/app/FileNode.h"
#include "kilnar/app/NameCharMap.h"

namespace {

constexpr int kFiles = 70000;

void BM_SeventyThousandEqualIsoNames(benchmark::State& state) {
  const NameCharMap table;
  for (auto _ : state) {
    FileNode folder("/src/many", true, 0);
    char name[64];
    for (int i = 0; i < kFiles; ++i) {
      std::snprintf(name, sizeof name, "/src/many/longname_%05d.dat", i);
      std::unique_ptr<Node> node = std::make_unique<FileNode>(name, false, 0);
      if (!folder.AddChild(node)) state.SkipWithError("a distinct long name was refused");
    }
    folder.RenameFolder(5, table);
    benchmark::DoNotOptimize(folder.GetCount());
  }
  state.counters["files"] = kFiles;
}
BENCHMARK(BM_SeventyThousandEqualIsoNames)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
