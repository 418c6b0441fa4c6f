#include "pluginhost/players/PlayerServices.h"

#include <atomic>

#include "playback/sound/SoundOptions.h"

namespace {

class CDefaultPlayerServices final : public CPlayerServices {
 public:
  void GetSoundOptions(SoundOptions& options) override { options.SetDefaults(); }
  void PauseVisualization(PLUGIN_HANDLE) override {}
  void ResumeVisualization(PLUGIN_HANDLE) override {}
  void StopVisualization(PLUGIN_HANDLE) override {}
  void FeedVisualization(const void*, DWORD, DWORD, DWORD, DWORD, DWORD, PLUGIN_HANDLE) override {}
  void SetPosition(DWORD, PLUGIN_HANDLE) override {}
  bool IsCurrentPlayer(PLUGIN_HANDLE) override { return false; }
  void NotifyStickToFile(PLUGIN_HANDLE) override {}
  void NotifyPlaybackFinished(DWORD, PLUGIN_HANDLE) override {}
  void SetLength(DWORD, PLUGIN_HANDLE) override {}
  void SetSampleFeed(bool, DWORD, PLUGIN_HANDLE) override {}
  int GetEffectiveVolume() override { return 256; }
  CurrentEntryInfo GetCurrentEntryInfo() override { return {}; }
};

CDefaultPlayerServices g_DefaultServices;
std::atomic<CPlayerServices*> g_Services{nullptr};

}  // namespace

void SetPlayerServices(CPlayerServices* services) { g_Services = services; }

CPlayerServices& GetPlayerServices() {
  CPlayerServices* services = g_Services;
  return services ? *services : g_DefaultServices;
}
