// The brackets around a skin change and a main window mode change: whoever
// draws with the skin lets go of it first and takes the new one after.
#include "app/ui/UserInterface.h"
#include "display/auxwindow/AuxWindow.h"
#include "display/window/Window.h"
#include "playback/playersystem/PlayerSystem.h"
#include "playback/visualizer/VisualizerSystem.h"
#include "pluginhost/enumeration/FileObjectEnumerationSystem.h"
#include "pluginhost/filters/FileFilterSystem.h"
#include "pluginhost/identifiers/FileIdentifierSystem.h"
#include "pluginhost/viewer/ControlWindowSystem.h"

namespace {

// The aux window manager tells the aux windows itself.
void TellWindows(const std::array<CWindow*, CUserInterface::kMainWindowCount>& windows, int phase, bool auxToo) {
  for (CWindow* window : windows)
    if (window && (auxToo || !window->IsKindOf(&CAuxWindow::ClassRecord))) window->OnSkinChange(phase);
}

}  // namespace

void CUserInterface::BeginSkinChange() {
  if (m_ChangingSkin) return;
  m_ChangingSkin = true;
  TellWindows(m_MainWindows, 0, false);
  GetFileIdentifierSystem().BeginSkinChange();
  GetFileFilterSystem().BeginSkinChange();
  GetPlayerSystem().BeginSkinChange();
  GetVisualizerSystem().BeginSkinChange();
  GetControlWindowSystem().IncBusyCount();
  GetControlWindowSystem().BeginSkinChange();
  GetFileObjectEnumerationSystem().BeginSkinChange();
  m_AuxWindows.ReleaseSkins();
}

void CUserInterface::EndSkinChange() {
  if (!m_ChangingSkin) return;
  m_AuxWindows.ApplySkins();
  GetFileObjectEnumerationSystem().EndSkinChange();
  GetPlayerSystem().EndSkinChange();
  GetFileFilterSystem().EndSkinChange();
  GetVisualizerSystem().EndSkinChange();
  GetControlWindowSystem().EndSkinChange();
  GetFileIdentifierSystem().EndSkinChange();
  TellWindows(m_MainWindows, 1, false);
  m_ChangingSkin = false;
}

void CUserInterface::BeginModeChange() {
  TellWindows(m_MainWindows, 2, true);
  GetPlayerSystem().BeginModeChange();
  GetControlWindowSystem().BeginMainWindowModeChange();
}

void CUserInterface::EndModeChange() {
  GetPlayerSystem().EndModeChange();
  // The viewer takes the settings of the new kind.
  GetControlWindowSystem().EndMainWindowModeChange();
  TellWindows(m_MainWindows, 3, true);
}
