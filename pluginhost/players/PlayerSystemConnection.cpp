#include "pluginhost/players/PlayerSystemConnection.h"

#include "playback/data/DataSystem.h"
#include "playback/mixer/MixerManager.h"
#include "playback/playersystem/PlayerSystem.h"
#include "playback/sound/SoundOptions.h"
#include "pluginhost/players/PlayerDiscovery.h"
#include "pluginhost/players/PlayerServices.h"

namespace {

class CPlugInPlayerDiscovery final : public CPlayerDiscovery {
 public:
  void DiscoverPlayers(CPlugIn& plugIn, std::vector<CPlayer*>& found) override {
    DiscoverPlugInPlayers(plugIn, found);
  }
};

// Session slot 0 of the program's data system: the stream the current or
// candidate player opens through the host goes through it, so a stop can
// break off a read that hangs, and successive openers share one source.
class CDataSystemPlayerSessions final : public CPlayerSessions {
 public:
  void SetSessionUrl(const char* url) override { Data().SetSessionUrl(kPlayerSession, url); }
  bool IsSessionOn(const char* url) override { return Data().IsSessionOn(kPlayerSession, url); }
  void SetSessionOwner(PLUGIN_HANDLE owner) override { Data().SetSessionOwner(kPlayerSession, owner); }
  void AbortSession() override { Data().AbortSession(kPlayerSession); }
  // Softly: a session still open (a player that took the file for itself)
  // goes on to its end.
  void CloseSession() override { Data().CloseSession(kPlayerSession, false); }
  void DetachSession() override { Data().DetachSession(kPlayerSession); }
  void ReleaseSessionsOnUrl(const char* url) override { Data().ReleaseSessionsOnUrl(url); }

 private:
  static CDataSystem& Data() { return GetDataSystem(); }
};

// The player system as the host's slots and sound buffers see it.
class CPlayerSystemServices final : public CPlayerServices {
 public:
  explicit CPlayerSystemServices(CPlayerSystem& system) : m_System(system) {}

  void GetSoundOptions(SoundOptions& options) override { m_System.GetSoundOptions(options); }
  void PauseVisualization(PLUGIN_HANDLE player) override { m_System.PauseVisualization(player); }
  void ResumeVisualization(PLUGIN_HANDLE player) override { m_System.ResumeVisualization(player); }
  void StopVisualization(PLUGIN_HANDLE player) override { m_System.StopVisualization(player); }
  void FeedVisualization(const void* samples, DWORD bytes, DWORD playTime, DWORD frequency, DWORD bitsPerSample,
                         DWORD channels, PLUGIN_HANDLE player) override {
    m_System.FeedVisualization(samples, bytes, playTime, frequency, bitsPerSample, channels, player);
  }
  void SetPosition(DWORD milliseconds, PLUGIN_HANDLE player) override { m_System.SetPosition(milliseconds, player); }
  bool IsCurrentPlayer(PLUGIN_HANDLE player) override { return m_System.IsCurrentPlayer(player); }
  void NotifyStickToFile(PLUGIN_HANDLE player) override { m_System.NotifyStickToFile(player); }
  void NotifyPlaybackFinished(DWORD result, PLUGIN_HANDLE player) override {
    m_System.NotifyPlaybackFinished(result, player);
  }
  void SetLength(DWORD milliseconds, PLUGIN_HANDLE player) override { m_System.SetLength(milliseconds, player); }
  void SetSampleFeed(bool feedsItself, DWORD flags, PLUGIN_HANDLE player) override {
    m_System.SetSampleFeed(feedsItself, flags, player);
  }
  int GetEffectiveVolume() override { return m_System.GetEffectiveVolume(); }
  CurrentEntryInfo GetCurrentEntryInfo() override {
    const PlayingInfo playing = m_System.GetPlayingInfo();
    CurrentEntryInfo entry;
    entry.url = playing.url;
    entry.title = playing.title;
    entry.displayName = playing.displayName;
    entry.position = playing.position;
    entry.length = playing.length;
    return entry;
  }

 private:
  CPlayerSystem& m_System;
};

// One connection at a time: the program has one player system.
CPlugInPlayerDiscovery g_Discovery;
CDataSystemPlayerSessions g_Sessions;
CPlayerSystemServices* g_Services = nullptr;
// The mixer lines players control through the host (slots 161-165).
CMixerManager* g_Mixer = nullptr;

}  // namespace

void ConnectPlayerSystemToHost(CPlayerSystem& system) {
  DisconnectPlayerSystemFromHost(system);
  g_Services = new CPlayerSystemServices(system);
  SetPlayerServices(g_Services);
  system.SetDiscovery(&g_Discovery);
  system.SetSessions(&g_Sessions);
  g_Mixer = new CMixerManager;
  system.SetMixer(g_Mixer);
}

void DisconnectPlayerSystemFromHost(CPlayerSystem& system) {
  system.SetMixer(nullptr);
  delete g_Mixer;  // gives every line its value back
  g_Mixer = nullptr;
  system.SetSessions(nullptr);
  system.SetDiscovery(nullptr);
  SetPlayerServices(nullptr);
  delete g_Services;
  g_Services = nullptr;
}
