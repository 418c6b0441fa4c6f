// CFullScreen: what the viewer window system asks of the full-screen
// manager, the one object that switches the display into exclusive
// full-screen mode for a player or visualizer and back. The viewer window
// system owns one and calls it on the user-interface thread; the activity
// and input calls also come from plug-in threads.
//
// This base is the manager of a program without full-screen support: it is
// never active, refuses Enter and has no window. The real manager derives
// from it and is handed to the viewer window system.
#pragma once

#include <windows.h>

class CFullScreen {
 public:
  CFullScreen() = default;
  CFullScreen(const CFullScreen&) = delete;
  CFullScreen& operator=(const CFullScreen&) = delete;
  virtual ~CFullScreen() = default;

  // Makes and takes down the manager's windows.
  virtual void Init() {}
  virtual void Exit() {}

  // Enters exclusive full-screen mode at the display mode (0, 0, 0: the
  // desktop's); false with the reason in the thread error.
  virtual bool Enter(INT /*width*/, INT /*height*/, INT /*bitsPerPixel*/, bool /*exclusive*/) { return false; }
  // Leaving one second later, the periodic retry of a due leave, and
  // leaving now.
  virtual void RequestLeave() {}
  virtual void RetryLeave() {}
  virtual bool Leave() { return true; }
  virtual void Redraw() {}
  virtual bool IsActive() { return false; }
  virtual bool IsActiveOrLeaving() { return false; }
  // The full-screen window reports input (IsActivityOn) while a plug-in
  // marks activity on it.
  virtual bool IsActivityOn() { return false; }
  // After the program was deactivated: leaves, now or from the message
  // loop, or asks the viewer window system to minimise.
  virtual void ProcessLeave(bool /*deferred*/) {}
  virtual void PostActivityOn(DWORD /*value*/) {}
  virtual void ForwardInput(HWND /*window*/, UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/) {}
  virtual void PostActivityOff() {}
  virtual void ClearActivity() {}
  // Null while there is no full-screen window.
  virtual HWND GetWindowHandle() { return nullptr; }
};
