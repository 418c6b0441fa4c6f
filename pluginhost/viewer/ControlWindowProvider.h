// CControlWindowProvider: the maker of the viewer window. The viewer window
// system keeps every provider of every plug-in, makes one of them current
// and asks that one to create, resize and close the window, to lend its
// drawing target and window handle, and to follow the main window. A
// provider is found again between runs by its key.
//
// Threading: the user-interface thread, except the drawing and
// window-handle access, which run on the thread of the user that asked.
#pragma once

#include <windows.h>

#include <cstdint>

#include "pluginhost/objects/ConfigurableObject.h"

class CControlWindowProvider : public CConfigurableObject {
  TWL_DECLARE_CLASS(CControlWindowProvider)
 public:
  // Around a change of the skin or of the main window's kind.
  virtual void BeginSkinChange() = 0;
  virtual void EndSkinChange() = 0;
  // When it becomes, and stops being, the current provider.
  virtual bool Prepare() = 0;
  virtual bool Unprepare() = 0;
  // Accepted requests complete later, with `request` handed back.
  virtual bool CreateWindow(int32_t height, DWORD flags, void* request) = 0;
  virtual bool ResizeWindow(int32_t height, void* request) = 0;
  virtual bool CloseWindow() = 0;
  // The main window's viewer hook point moved.
  virtual bool OnViewerMoved() = 0;
  // The program or the main window was activated or deactivated.
  virtual int32_t OnActivation() = 0;
  virtual bool RestoreSurfaces() = 0;
  virtual bool BeginDraw(void** target) = 0;
  virtual int32_t EndDraw(const RECT* area) = 0;
  virtual bool GetWindowHandle(uintptr_t argument) = 0;
  virtual int32_t ReleaseWindowHandle() = 0;
  // Stored as "CurrentControlWindowProvider"; owned by the provider.
  virtual const char* GetKey() = 0;
};
