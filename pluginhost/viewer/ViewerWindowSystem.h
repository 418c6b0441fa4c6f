// The viewer window system as playback drives it: the viewer window shows
// one user at a time, chosen by mode (1 the player's video, 2 the
// visualizer); each mode slot has a user and may be enabled or disabled.
// The player system and the visualizer system each set the user of their
// own mode. This class answers as if there were no viewer: it does nothing
// and shows nobody. The program installs the real system; tests install
// doubles.
//
// Threading: the user-interface thread's, except GetCurrentUser, which the
// visualizer system also asks on players' threads.
#pragma once

#include <windows.h>

class CControlWindowUser;

class CViewerWindowSystem {
 public:
  static constexpr DWORD kPlayerMode = 1;
  static constexpr DWORD kVisualizerMode = 2;

  virtual ~CViewerWindowSystem() = default;
  virtual void EnableUser(DWORD /*mode*/) {}
  // Null leaves the mode without a user.
  virtual void SetUser(DWORD /*mode*/, CControlWindowUser* /*user*/) {}
  virtual void DisableUser(DWORD /*mode*/) {}
  // The user the viewer shows now, or null.
  virtual CControlWindowUser* GetCurrentUser() { return nullptr; }
};
