#include <fstream>
#include <string>
#include <vector>

#include "HiddenWindow.h"
#include "StdoutLogFront.h"
#include "driver/Command.h"
#include "playback/playersystem/PlayerSystem.h"
#include "playback/visualizer/VisualizerSystem.h"
#include "pluginhost/hostapi/HostEnvironment.h"
#include "pluginhost/players/PlayerSystemConnection.h"
#include "pluginhost/plugins/PlugInLoader.h"
#include "pluginhost/viewer/ControlWindowSystem.h"
#include "pluginhost/visualizers/PlugInVisualizerDiscovery.h"

namespace {

struct PlayOptions {
  std::string plugIns;
  // Where the last playlist is kept; none without --program-folder.
  std::string programFolder;
  bool hasProgramFolder = false;
  bool loop = false;
  bool shuffle = false;
  bool listed = false;
  std::vector<std::string> texts;
};

bool ReadList(const std::string& path, std::vector<std::string>& texts) {
  std::ifstream list(path, std::ios::binary);
  if (!list) return false;
  for (std::string line; std::getline(list, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    texts.push_back(line);
  }
  return true;
}

// The hidden window owns what players open, DirectSound's cooperative
// level among it.
class OwnedEnvironment : public CHostEnvironment {
 public:
  OwnedEnvironment() : m_Owner(twltool::MakeHiddenWindow()) { SetHostEnvironment(this); }
  ~OwnedEnvironment() override { SetHostEnvironment(nullptr); }
  HWND GetOwnerWindow() override { return m_Owner; }

 private:
  HWND m_Owner;
};

// Dispatches messages until nothing plays any more. A player that reports
// its end on this thread (from its own window) leaves the player system
// idle until the posted report starts the next file, so what is waiting is
// dispatched before the test.
void RunUntilStopped(CPlayerSystem& system) {
  MSG msg;
  for (;;) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (!system.IsPlaying() || GetMessageA(&msg, nullptr, 0, 0) <= 0) return;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

}  // namespace

TOOL_COMMAND(RunPlay, "play",
             "[--plugins DIR] [--program-folder DIR] [--loop] [--shuffle] [--list FILE] [URL...]  build the "
             "playlist from the URLs and the lines of FILE as the player adds dropped files (paths, URLs, "
             "\"folder/\", \"name<\" for a file whatever its extension), play it from the first file of its play "
             "order with the players found in DIR's plug-ins (their sound goes where TWL_SOUND_SINK says) while the "
             "viewer window system and the visualizers of DIR's plug-ins run as in the player, run the "
             "message loop until playback stops and print the log as it is written; with no player every file is "
             "refused once and the exit code is still 0. With --program-folder the program folder's "
             "LastPlayList.p4u is loaded when no URL or list is given and the playlist is saved there at exit, "
             "switches included") {
  PlayOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--loop") {
      options.loop = true;
    } else if (arg == "--shuffle") {
      options.shuffle = true;
    } else if (arg == "--plugins" || arg == "--list" || arg == "--program-folder") {
      if (i + 1 == args.size()) return tool::Fail(arg + " takes a path");
      const std::string& value = args[++i];
      if (arg == "--plugins") {
        options.plugIns = value;
      } else if (arg == "--program-folder") {
        options.programFolder = value.empty() || value.back() == '/' ? value : value + "/";
        options.hasProgramFolder = !value.empty();
      } else {
        options.listed = true;
        if (!ReadList(value, options.texts)) return tool::Fail("cannot read " + value);
      }
    } else {
      options.texts.push_back(arg);
    }
  }

  twltool::StdoutLogFront front;
  OwnedEnvironment environment;
  // The viewer and the visualizers come up as in the player, so that the
  // current visualizer is shown and fed while a file plays.
  CControlWindowSystem& viewer = GetControlWindowSystem();
  CVisualizerSystem& visualizers = GetVisualizerSystem();
  viewer.LoadSettings();
  visualizers.LoadOptions();
  CPlugInLoader loader;
  if (!options.plugIns.empty()) loader.LoadPlugIns(options.plugIns.c_str());
  viewer.Init(&loader.GetManager());
  visualizers.SetViewer(&viewer);
  visualizers.SetDiscovery(&GetPlugInVisualizerDiscovery());
  visualizers.Init(&loader.GetManager());
  CPlayerSystem& system = GetPlayerSystem();
  ConnectPlayerSystemToHost(system);
  system.SetViewer(&viewer);
  system.SeedRandom(timeGetTime());
  system.SetLastPlayListFolder(options.hasProgramFolder ? options.programFolder.c_str() : "");
  // Files given on the command line take the last playlist's place.
  if (options.listed || !options.texts.empty()) system.SetLoadLastPlayList(false);
  system.Init(&loader.GetManager());
  // Switches not given stay as the last playlist had them.
  if (options.loop) system.SetLoop(true);
  std::vector<const char*> texts;
  for (const auto& text : options.texts) texts.push_back(text.c_str());
  system.AddUrls(nullptr, -1, texts.data(), static_cast<INT>(texts.size()));
  if (options.shuffle)
    system.SetShuffle(true);
  else
    system.SelectFirstFile();
  system.Play(true);
  RunUntilStopped(system);
  system.Exit();
  DisconnectPlayerSystemFromHost(system);
  system.SetViewer(nullptr);
  visualizers.Exit();
  visualizers.SetViewer(nullptr);
  viewer.Exit();
  loader.UnloadPlugIns();
  return 0;
}
