// CControlWindowUser: an object that may use the viewer window (a player or
// a visualizer). The viewer window system tells its users about the viewer
// through OnViewerEvent and sets their display mode; the user interface
// asks every user to follow skin changes and to restore lost surfaces.
//
// Threading: the class adds none; each concrete class states its own rule.
#pragma once

#include <windows.h>

#include <cstdint>

#include "pluginhost/objects/ConfigurableObject.h"

class CControlWindowUser : public CConfigurableObject {
  TWL_DECLARE_CLASS(CControlWindowUser)
 public:
  // An event of the viewer window system: a code, an argument (a value or a
  // pointer, by code) and a data word (a request id or a value). The result
  // goes back to whoever sent the event.
  virtual int OnViewerEvent(DWORD event, uintptr_t argument, uintptr_t data) = 0;
  // 0 windowed, 1 full screen.
  virtual bool SetDisplayMode(int mode) = 0;
  // Around a change of the skin or of the user-interface mode.
  virtual void BeginSkinChange() = 0;
  virtual void EndSkinChange() = 0;
  // After DirectDraw surfaces were lost; false when restoring failed.
  virtual bool RestoreSurfaces() = 0;
};
