// CVisualizer: a visualizer, which draws pictures from the sound being
// played into the viewer window. Every visualizer is an adapter around a
// visualizer object of a plug-in. The visualizer system chooses one,
// prepares it while playback runs and the viewer shows it, passes it
// pauses, resumes and stops, and feeds it the sound that players write.
//
// Threading: Prepare, Unprepare and the viewer and skin calls come on the
// user-interface thread; Pause, Resume, Stop and Feed may come on a
// player's thread while the visualizer draws on its own, and it must cope.
#pragma once

#include <windows.h>

#include "pluginhost/viewer/ControlWindowUser.h"

class CVisualizer : public CControlWindowUser {
  TWL_DECLARE_CLASS(CVisualizer)
 public:
  // Events the viewer passes on while it shows the visualizer.
  enum PlayerEvent : DWORD {
    PLAYER_EVENT_ENTRY_CHANGED = 1,   // value 0
    PLAYER_EVENT_VOLUME_CHANGED = 2,  // value 0
    PLAYER_EVENT_ACTIVATION = 4,      // value 1 activated, 0 deactivated
  };

  CVisualizer() = default;
  CVisualizer(const CVisualizer&) = delete;
  CVisualizer& operator=(const CVisualizer&) = delete;

  // May start drawing into the viewer window. Each answers false with the
  // reason in the calling thread's error.
  virtual bool Prepare() = 0;
  virtual bool Unprepare() = 0;
  virtual bool Pause() = 0;
  virtual bool Resume() = 0;
  virtual bool Stop() = 0;
  virtual void OnPlayerEvent(DWORD event, DWORD value) = 0;
  // PCM that will be heard at `playTime` (timeGetTime milliseconds).
  virtual int Feed(const void* samples, DWORD bytes, DWORD playTime, DWORD frequency, DWORD bitsPerSample,
                   DWORD channels) = 0;
  // The key remembered as the current visualizer: "plug-in<object id>" for
  // objects of the second plug-in interface, else the plug-in's name.
  virtual const char* GetKey() = 0;
  // The supplying plug-in's file name without extension.
  virtual const char* GetPlugInName() = 0;
};
