#include "app/ui/ViewerHost.h"

#include "app/ui/UserInterface.h"
#include "display/frames/FramePainting.h"
#include "display/window/Window.h"

int CUserInterfaceViewerHost::GetMainWindowKind() { return GetUserInterface().GetMode(); }

// The hook of the current kind's main window skin, moved to where the main
// window stands on the screen.
void CUserInterfaceViewerHost::GetControlWindowHook(POINT* point, double* displacement) {
  CUserInterface& ui = GetUserInterface();
  CDDMainWindowSkin& skin = ui.GetDDSkin().GetMainWindowSkin(ui.GetMode());
  POINT hook = skin.GetControlWindowOffset();
  CWindow* mainWindow = ui.GetMainWindow(0);
  RECT place{};
  if (mainWindow && mainWindow->GetWindowHandle() && GetWindowRect(mainWindow->GetWindowHandle(), &place)) {
    hook.x += place.left;
    hook.y += place.top;
  }
  *point = hook;
  *displacement = skin.GetControlWindowFactor();
}

INT CUserInterfaceViewerHost::GetControlWindowDefaultWidth() { return GetControlWindowColumnWidth(); }

void CUserInterfaceViewerHost::GetFullScreenMode(INT* width, INT* height, INT* bitsPerPixel) {
  const CUserInterface& ui = GetUserInterface();
  const auto& modes = ui.GetFullscreenModes();
  const int index = ui.GetFullscreenModeIndex();
  const FullscreenMode mode =
      index >= 0 && index < static_cast<int>(modes.size()) ? modes[static_cast<size_t>(index)] : FullscreenMode{};
  *width = mode.width;
  *height = mode.height;
  *bitsPerPixel = mode.bitsPerPixel;
}

void CUserInterfaceViewerHost::PostNewGeneration() {
  if (HWND window = GetUserInterface().GetMessageWindowHandle())
    PostMessageA(window, CUserInterface::kVisualizerTriggersMessage, 0, 0);
}

void CUserInterfaceViewerHost::MinimizeAll(bool toTray) { GetUserInterface().MinimizeAll(toTray); }

void CUserInterfaceViewerHost::RestoreAll() { GetUserInterface().RestoreAll(); }

CUserInterfaceViewerHost& GetUserInterfaceViewerHost() {
  static CUserInterfaceViewerHost host;
  return host;
}
