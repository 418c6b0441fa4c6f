// What the application core's commands and the main owner window ask of
// the user interface object: hiding every window to the tray and bringing
// them back, changing the skin, and the application-wide notifications
// that only the owner window receives. The user interface installs itself
// when it comes up and removes itself when it goes; until then these
// requests do nothing. User-interface thread only.
#pragma once

#include <windows.h>

class CUserInterfaceLink {
 public:
  virtual bool IsMinimized() = 0;
  virtual void MinimizeAll(bool toTray) = 0;
  virtual void RestoreAll() = 0;
  virtual void ChangeSkin(const char* path) = 0;
  virtual void OnOwnerActivate(bool active) = 0;
  virtual void OnDisplayChange() = 0;
  virtual void OnPaletteChanged(HWND window) = 0;

 protected:
  ~CUserInterfaceLink() = default;
};

// Null removes the link.
void SetUserInterfaceLink(CUserInterfaceLink* link);
CUserInterfaceLink* GetUserInterfaceLink();
