// CControlWindowHost: what the viewer window system needs of the user
// interface above it: the main window's kind, where the viewer hangs on the
// main window and how wide it is, the notices that the viewer's user or
// settings changed, the message that starts a new viewer generation, and
// hiding and showing every window around full screen. The user interface
// installs itself at start; until then (and in tools and tests) this base
// answers for a program without windows: kind 0, the hook at (0, 0), no
// width, and every notice goes nowhere.
//
// Threading: the user-interface thread; GetMainWindowKind,
// GetControlWindowHook, GetControlWindowDefaultWidth and GetFullScreenMode
// are asked under the display lock.
#pragma once

#include <windows.h>

class CControlWindowHost {
 public:
  virtual ~CControlWindowHost() = default;

  // 0 normal, 1 small, 2 mini.
  virtual int GetMainWindowKind() { return 0; }
  // The hook point in screen coordinates and the displacement, a fraction
  // of the viewer's height by which its top lies below the hook.
  virtual void GetControlWindowHook(POINT* point, double* displacement) {
    *point = POINT{0, 0};
    *displacement = 0;
  }
  virtual INT GetControlWindowDefaultWidth() { return 0; }
  // The full-screen display mode chosen in the options; 0, 0, 0 is the
  // desktop's own.
  virtual void GetFullScreenMode(INT* width, INT* height, INT* bitsPerPixel) {
    *width = *height = *bitsPerPixel = 0;
  }
  virtual void OnControlWindowUserChanged() {}
  virtual void OnControlWindowStateChanged() {}
  // Posts message 1324 to the user interface's message window: the
  // viewer's user or mode changed, so hotkeys of the visualizer may switch.
  virtual void PostNewGeneration() {}
  virtual void MinimizeAll(bool /*toTray*/) {}
  virtual void RestoreAll() {}
};

// Not owned; null puts the windowless answers back.
void SetControlWindowHost(CControlWindowHost* host);
CControlWindowHost& GetControlWindowHost();
