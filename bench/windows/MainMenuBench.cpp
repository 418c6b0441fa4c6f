// Building and destroying the main window's menu for a large playlist: the
// menu opens on a right click on the user-interface thread, so the whole
// build should fit in one 50 ms tick of the main window (800 "Go to..."
// groups of 25 for 20,000 files).
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include "playback/playlist/PlayList.h"
#include "playback/playlist/PlayListFileEntry.h"
#include "pluginhost/fileinfo/FileInfoDataBase.h"
#include "windows/main/MainMenus.h"

namespace {

void MainMenuOfALargePlayList(benchmark::State& state) {
  CFileInfoDataBase files;
  CPlayList playList;
  const int count = static_cast<int>(state.range(0));
  for (int n = 0; n < count; ++n) {
    const std::string url = "file:///music/album " + std::to_string(n / 12) + "/track " + std::to_string(n) + ".wav";
    playList.Insert(new CPlayListFileEntry(files.Get(url.c_str()), 100), -1);
  }
  playList.Renumber();
  mainwindow::MainMenuState menuState;
  menuState.playing = true;
  menuState.playList = &playList;
  menuState.currentEntry = count / 2;
  menuState.infoLock = &files.GetLock();
  menuState.date = "11 December 2026";
  double longest = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    HMENU menu = mainwindow::BuildMainMenu(menuState, mainwindow::MenuFor::kMainWindow);
    if (!menu) state.SkipWithError("no menu");
    DestroyMenu(menu);
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    longest = std::max(longest, took.count());
  }
  // The slowest build as a share of one tick.
  state.counters["longest_of_50ms_tick_%"] = longest / 50.0 * 100.0;
  playList.RemoveAll(true, true);
}
BENCHMARK(MainMenuOfALargePlayList)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace
