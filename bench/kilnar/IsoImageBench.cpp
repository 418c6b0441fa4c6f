// `kilnartool image --mode 5` of a 600 MB tree (60 files of 10 MB and 2000
// small ones in 40 folders) against `xorriso -as mkisofs -J -o` of the same
// tree, both timed in each iteration with the tree in the page cache (a
// first untimed pass reads it). The counter `ratio` is the image writer's
// speed over xorriso's; the goal is at least 0.9.
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "kilnar/AgainstDd.h"
#include "support/BigFile.h"

namespace {

constexpr uint32_t kLargeFile = 10u << 20;
constexpr int kLargeFiles = 60;
constexpr int kSmallFolders = 40;
constexpr int kSmallPerFolder = 50;

std::string MakeTree(const std::string& root) {
  mkdir(root.c_str(), 0755);
  for (int i = 0; i < kLargeFiles; ++i)
    kilnarbench::MakePatternFile(root + "/large " + std::to_string(i) + ".bin", kLargeFile, 7 + i);
  for (int folder = 0; folder < kSmallFolders; ++folder) {
    const std::string path = root + "/small folder " + std::to_string(folder);
    mkdir(path.c_str(), 0755);
    for (int i = 0; i < kSmallPerFolder; ++i) {
      FILE* file = std::fopen((path + "/note " + std::to_string(i) + ".txt").c_str(), "wb");
      if (!file) continue;
      std::fprintf(file, "small file %d of folder %d\n", i, folder);
      std::fclose(file);
    }
  }
  return root;
}

void BM_IsoImageVsXorriso(benchmark::State& state) {
  const std::string base = kilnarbench::BenchFolder() + "/kilnar-iso-" + std::to_string(getpid());
  const std::string tree = MakeTree(base + ".tree");
  const std::string ours = base + ".ours.iso";
  const std::string theirs = base + ".xorriso.iso";
  const std::string image = "'" + benchfile::ProgramPath("kilnartool") + "' image --mode 5 '" + ours + "' '" + tree +
                            "' >/dev/null";
  const std::string xorriso = "xorriso -as mkisofs -J -quiet -o '" + theirs + "' '" + tree + "' 2>/dev/null";
  // The tree into the page cache.
  if (std::system(("cat -- '" + tree + "'/*.bin >/dev/null").c_str()) != 0) state.SkipWithError("cannot read tree");
  const double megabytes = static_cast<double>(kLargeFile) * kLargeFiles / (1 << 20);
  kilnarbench::TimeAgainstDd(
      state, "image", [&] { return std::system(image.c_str()) == 0 ? std::string() : std::string("image failed"); },
      xorriso, megabytes, [&] {
        unlink(ours.c_str());
        unlink(theirs.c_str());
      });
  unlink(ours.c_str());
  unlink(theirs.c_str());
  std::system(("rm -rf -- '" + tree + "'").c_str());
}

BENCHMARK(BM_IsoImageVsXorriso)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
