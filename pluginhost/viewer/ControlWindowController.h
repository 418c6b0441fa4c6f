// CControlWindowController: the control bar at the foot of the viewer
// window (Full Screen, the mode menu and, for visualizers, the visualizer's
// name between previous and next). The viewer window system embeds one,
// tells it the current provider and kind (1 players, 0 visualizers, -1
// none), arms it when a user gets the viewer and lets its surfaces go
// around skin changes.
//
// This is the bar of a viewer without bar window: it keeps the provider
// and the kind, is never shown and has no height or margins of its own.
//
// Threading: the user-interface thread.
#pragma once

#include <windows.h>

class CControlWindowProvider;

class CControlWindowController {
 public:
  CControlWindowController() = default;
  CControlWindowController(const CControlWindowController&) = delete;
  CControlWindowController& operator=(const CControlWindowController&) = delete;

  void Init() {}
  void SetProvider(CControlWindowProvider* provider) { m_Provider = provider; }
  CControlWindowProvider* GetProvider() const { return m_Provider; }
  void SetKind(int kind) { m_Kind = kind; }
  int GetKind() const { return m_Kind; }
  // On: the bar window comes up a little later; off: it goes.
  void ArmBar(bool on) { m_Armed = on; }
  bool IsArmed() const { return m_Armed; }
  void ReleaseSurfaces() {}
  void EndSkinChange() {}
  void UpdateFullScreenButton() {}
  bool IsBarShown() const { return false; }
  INT GetBarHeight() const { return 0; }
  void GetBarMargins(INT margins[4]) const {
    for (int index = 0; index < 4; ++index) margins[index] = 0;
  }

 private:
  CControlWindowProvider* m_Provider = nullptr;
  int m_Kind = -1;
  bool m_Armed = false;
};
