// CDisplaySurfaces: the user interface's surfaces as the windows reach
// them: the primary surface (the screen), the back buffer that every
// window paints through (made on first use), the primary blitter that
// copies onto the screen, and the restoration of lost surfaces. The user
// interface implements it and installs itself as the current one while its
// display is up.
//
// Called under the display lock on the user-interface thread;
// AreSurfacesLost may be asked from any thread.
#pragma once

#include "twlwin/ddraw.h"

class CColorTable;
class CDDSkin;
class CPrimaryBlitter;

class CDisplaySurfaces {
 public:
  // The one back buffer's size: windows larger than it paint in tiles.
  static constexpr DWORD kBackBufferWidth = 640;
  static constexpr DWORD kBackBufferHeight = 480;

  // Null while no display is up.
  static CDisplaySurfaces* GetCurrent();
  static void SetCurrent(CDisplaySurfaces* surfaces);

  // Null while none exists.
  virtual IDirectDrawSurface2* GetPrimarySurface() = 0;
  // 640 x 480 pixels in the display format. Null when it cannot be made,
  // with the DirectDraw error in the thread error state.
  virtual IDirectDrawSurface2* GetBackBuffer() = 0;
  virtual CPrimaryBlitter& GetPrimaryBlitter() = 0;
  // True while a restoration is owed after a failed one.
  virtual bool AreSurfacesLost() = 0;
  // Restores or remakes every surface of the display; true on success.
  virtual bool RestoreSurfaces() = 0;
  // Asks for RestoreSurfaces on the user-interface thread, later; any
  // thread.
  virtual void RequestRestoreSurfaces() {}
  // The skin the windows draw their controls with; null while none.
  virtual CDDSkin* GetDrawableSkin() { return nullptr; }
  // 8-bit displays: the palette for a skin's colours, brought onto the
  // screen. False when the display state alone must build it.
  virtual bool BuildSkinPalette(const CColorTable& colors) { return false; }

 protected:
  CDisplaySurfaces() = default;
  ~CDisplaySurfaces() = default;
};
