// CPlayerServices: what the plug-in host and the sound buffers need of the
// player system: the preferred sound options, the entry being played, the
// effective volume, and the reports of players (visualization paused,
// resumed, stopped and fed, position, length, the end of playback), each
// with the handle of the player that reports. The player system installs
// itself; until it does, there is no current player, the options are the
// defaults and the reports go nowhere.
//
// Threading: called from player threads; an implementation takes its own
// locks. Install before the first buffer is made.
#pragma once

#include <windows.h>

#include "foundation/kernel/Str.h"
#include "pluginhost/abi/PlugInAbi.h"

class SoundOptions;

// The playlist entry being played, as players may ask for it.
struct CurrentEntryInfo {
  CStr url;
  CStr title;
  CStr displayName;
  DWORD position = 0;  // milliseconds
  DWORD length = 0;
};

class CPlayerServices {
 public:
  virtual ~CPlayerServices() = default;

  // A copy of the current preferred options.
  virtual void GetSoundOptions(SoundOptions& options) = 0;
  virtual void PauseVisualization(PLUGIN_HANDLE player) = 0;
  virtual void ResumeVisualization(PLUGIN_HANDLE player) = 0;
  virtual void StopVisualization(PLUGIN_HANDLE player) = 0;
  // PCM that will be heard at `playTime` (timeGetTime milliseconds).
  virtual void FeedVisualization(const void* samples, DWORD bytes, DWORD playTime, DWORD frequency,
                                 DWORD bitsPerSample, DWORD channels, PLUGIN_HANDLE player) = 0;
  virtual void SetPosition(DWORD milliseconds, PLUGIN_HANDLE player) = 0;

  // Whether the handle is the current player's; the host drops every
  // report of any other player.
  virtual bool IsCurrentPlayer(PLUGIN_HANDLE player) = 0;
  // The player will play the current file (it will not refuse it later).
  virtual void NotifyStickToFile(PLUGIN_HANDLE player) = 0;
  // Playback ended: HOST_PLAYBACK_FINISHED, _ERROR or _CANNOT_PLAY.
  virtual void NotifyPlaybackFinished(DWORD result, PLUGIN_HANDLE player) = 0;
  virtual void SetLength(DWORD milliseconds, PLUGIN_HANDLE player) = 0;
  // Whether the player feeds the visualizers itself.
  virtual void SetSampleFeed(bool feedsItself, DWORD flags, PLUGIN_HANDLE player) = 0;
  // The master volume scaled by the entry's volume: 0..256.
  virtual int GetEffectiveVolume() = 0;
  virtual CurrentEntryInfo GetCurrentEntryInfo() = 0;
};

// Not owned; null puts the defaults back.
void SetPlayerServices(CPlayerServices* services);
CPlayerServices& GetPlayerServices();
