// CPlayerServices: what the plug-in host and the sound buffers need of the
// player system: the preferred sound options, and the reports that follow
// the sound (visualization paused, resumed, stopped and fed, and the
// playing position), each with the handle of the player that makes the
// sound. The player system installs itself; until it does, the options are
// the defaults and the reports go nowhere.
//
// Threading: called from player threads; an implementation takes its own
// locks. Install before the first buffer is made.
#pragma once

#include <windows.h>

#include "pluginhost/abi/PlugInAbi.h"

class SoundOptions;

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
};

// Not owned; null puts the defaults back.
void SetPlayerServices(CPlayerServices* services);
CPlayerServices& GetPlayerServices();
