// Adding a folder's worth of files to the playlist: AddUrls of 20 000 paths
// in one call with shuffle on (every file gets its random place in the
// play order), against python3's struct module parsing a native playlist
// of 20 000 titled entries. The counter times_python is the first against
// the second; the goal is at most 3.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "playback/playersystem/PlayerSystem.h"
#include "pluginhost/fileinfo/FileInfoDataBase.h"
#include "pluginhost/fileinfo/FolderInfoDataBase.h"

namespace {

constexpr int kFiles = 20000;

std::string Script() { return std::string(TWL_SOURCE_DIR) + "/tests/playback/playlistfile/p4u_file.py"; }

// Seconds python3 takes to parse a 20 000-entry file (best of a few
// rounds' mean), or a negative value when python3 cannot be run.
double PythonParseSeconds() {
  char folder[] = "/tmp/twlbench-XXXXXX";
  if (!mkdtemp(folder)) return -1;
  const std::string file = std::string(folder) + "/many.p4u";
  const std::string make = "python3 '" + Script() + "' many '" + file + "' " + std::to_string(kFiles);
  if (std::system(make.c_str()) != 0) return -1;
  double best = -1;
  for (int run = 0; run < 3; ++run) {
    FILE* pipe = popen(("python3 '" + Script() + "' parse '" + file + "' 5").c_str(), "r");
    if (!pipe) return -1;
    char line[512] = {};
    const bool read = std::fgets(line, sizeof line, pipe) != nullptr;
    pclose(pipe);
    if (!read) return -1;
    const std::string text = line;
    const double seconds = std::atof(text.substr(text.find_last_of(' ') + 1).c_str());
    if (best < 0 || seconds < best) best = seconds;
  }
  std::remove(file.c_str());
  std::remove(folder);
  return best;
}

void BM_AddUrls20000Shuffled(benchmark::State& state) {
  std::vector<std::string> texts;
  for (int i = 0; i < kFiles; ++i)
    texts.push_back("/music/album " + std::to_string(i / 12) + "/track " + std::to_string(i) + ".mp3");
  std::vector<const char*> pointers;
  for (const auto& text : texts) pointers.push_back(text.c_str());

  CFileInfoDataBase files;
  CFolderInfoDataBase folders;
  CPlayerSystem system(files, folders);
  system.SeedRandom(1);
  system.Init(nullptr);
  system.SetShuffle(true);
  double added = 0;  // seconds spent in AddUrls
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    system.AddUrls(nullptr, -1, pointers.data(), kFiles);
    added += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.PauseTiming();
    if (system.GetPlayList().GetCounts()[1] != kFiles) state.SkipWithError("not every file was added");
    system.RemoveAllEntries();
    state.ResumeTiming();
  }
  system.Exit();

  const double python = PythonParseSeconds();
  if (python > 0) {
    state.counters["python_ms"] = python * 1000;
    state.counters["times_python"] = added / static_cast<double>(state.iterations()) / python;
  }
}
BENCHMARK(BM_AddUrls20000Shuffled)->Unit(benchmark::kMillisecond);

}  // namespace
