// The user interface as the viewer window system sees it: the main
// window's kind and viewer hook, the viewer's default width, the chosen
// full-screen mode, the notices of viewer changes and hiding and showing
// every window. The application core installs the one instance before the
// viewer system loads its settings and removes it at the end.
//
// Threading: the user-interface thread.
#pragma once

#include "pluginhost/viewer/ControlWindowHost.h"

class CUserInterfaceViewerHost : public CControlWindowHost {
 public:
  int GetMainWindowKind() override;
  void GetControlWindowHook(POINT* point, double* displacement) override;
  INT GetControlWindowDefaultWidth() override;
  void GetFullScreenMode(INT* width, INT* height, INT* bitsPerPixel) override;
  void OnControlWindowUserChanged() override {}
  void OnControlWindowStateChanged() override {}
  void PostNewGeneration() override;
  void MinimizeAll(bool toTray) override;
  void RestoreAll() override;
};

CUserInterfaceViewerHost& GetUserInterfaceViewerHost();
