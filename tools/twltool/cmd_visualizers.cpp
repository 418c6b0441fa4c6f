// `twltool visualizers`: the visualizer system's start with a folder's
// plug-ins, as the player starts it, and optionally a sound fed to the
// current visualizer as playback feeds it while the viewer shows it.
#include <algorithm>
#include <cstdio>
#include <string>

#include "PlugInDataStart.h"
#include "StdoutLogFront.h"
#include "WavFile.h"
#include "driver/Command.h"
#include "playback/visualizer/Visualizer.h"
#include "playback/visualizer/VisualizerSystem.h"
#include "pluginhost/viewer/ViewerWindowSystem.h"
#include "pluginhost/visualizers/PlugInVisualizerDiscovery.h"

namespace {

constexpr size_t kFeedBlockBytes = 4096;

// A viewer that shows its visualizer mode all the time: the visualizer
// system's current visualizer is the one shown.
class VisualizerModeViewer : public CViewerWindowSystem {
 public:
  void SetUser(DWORD mode, CControlWindowUser* user) override {
    if (mode == kVisualizerMode) m_User = user;
  }
  CControlWindowUser* GetCurrentUser() override { return m_User; }

 private:
  CControlWindowUser* m_User = nullptr;
};

void PrintVisualizers(CVisualizerSystem& system) {
  for (INT index = 0; index < system.GetVisualizerCount(); ++index)
    std::printf("visualizer %d %s\n", index, system.GetVisualizer(index)->GetKey());
  CVisualizer* current = system.GetCurrentVisualizer();
  std::printf("current %d %s\n", system.GetCurrentVisualizerIndex(), current ? current->GetKey() : "-");
  std::fflush(stdout);
}

// One playback of the sound: prepared, fed block by block with the time
// each block is heard, stopped and unprepared.
void Feed(CVisualizerSystem& system, const twltool::WavSound& sound) {
  const DWORD frameBytes = static_cast<DWORD>(sound.channels) * sound.bits / 8;
  const DWORD bytesPerSecond = sound.rate * frameBytes;
  const DWORD start = timeGetTime();
  system.SetVisualizerVisible(true);
  system.StartPlayback();
  for (size_t offset = 0; offset < sound.data.size(); offset += kFeedBlockBytes) {
    const size_t bytes = std::min(kFeedBlockBytes, sound.data.size() - offset);
    const auto heardAt = static_cast<DWORD>(start + static_cast<uint64_t>(offset) * 1000 / bytesPerSecond);
    system.FeedVisualizer(sound.data.data() + offset, static_cast<DWORD>(bytes), heardAt, sound.rate, sound.bits,
                          sound.channels);
  }
  system.StopVisualizer();
  system.EndPlayback();
}

}  // namespace

TOOL_COMMAND(RunVisualizers, "visualizers",
             "[--feed FILE.wav] DIR  start the visualizer system with DIR's plug-ins as the player does (the "
             "stored \"CurrentVisualizer\" chooses the current one; the log to stdout as it is written), then print "
             "\"visualizer INDEX KEY\" per visualizer and \"current INDEX KEY\" (-1 - when there is none); with "
             "--feed, the current visualizer is prepared as when the viewer shows it, fed the file's PCM in blocks "
             "of 4096 bytes with the time each is heard, stopped and unprepared") {
  std::string wavPath;
  tool::Args rest = args;
  if (!rest.empty() && rest[0] == "--feed") {
    if (rest.size() < 2) return tool::Fail("--feed takes a WAV file");
    wavPath = rest[1];
    rest.erase(rest.begin(), rest.begin() + 2);
  }
  if (rest.size() != 1 || rest[0].empty()) return tool::Fail("visualizers takes one folder");
  std::string bytes;
  twltool::WavSound sound;
  std::string error;
  if (!wavPath.empty() && !twltool::LoadWav(wavPath, bytes, sound, error)) return tool::Fail(error);

  twltool::StdoutLogFront front;
  twltool::PlugInsFolderEnvironment environment(rest[0]);
  CPlugInLoader loader;
  loader.LoadPlugIns(rest[0].c_str());
  VisualizerModeViewer viewer;
  CVisualizerSystem& system = GetVisualizerSystem();
  system.SetViewer(&viewer);
  system.SetDiscovery(&GetPlugInVisualizerDiscovery());
  system.LoadOptions();
  system.Init(&loader.GetManager());
  PrintVisualizers(system);
  if (!wavPath.empty()) Feed(system, sound);
  system.Exit();
  system.SetViewer(nullptr);
  system.SetDiscovery(nullptr);
  loader.UnloadPlugIns();
  return 0;
}
