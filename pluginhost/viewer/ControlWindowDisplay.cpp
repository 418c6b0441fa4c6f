// The viewer's display: full-screen wishes of players and visualizers, the
// window's geometry in the current skin, skin and display changes, the
// full-screen handshake with the main window, and the system's message
// window.
#include "display/skinrender/DDSkin.h"
#include "display/state/DisplayLock.h"
#include "display/state/DisplaySurfaces.h"
#include "foundation/appcore/LogFront.h"
#include "foundation/appcore/ThreadErrorLog.h"
#include "foundation/errors/LocalText.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "playback/visualizer/Visualizer.h"
#include "pluginhost/viewer/ControlWindowHost.h"
#include "pluginhost/viewer/ControlWindowProvider.h"
#include "pluginhost/viewer/ControlWindowSystem.h"
#include "pluginhost/viewer/ControlWindowUser.h"
#include "pluginhost/viewer/ViewerGeometry.h"

namespace {

constexpr DWORD kSurfaceErrorCategory = 0x400;

// The control window skin of the main window kind, or null while no skin
// is loaded. Under the display lock.
const CDDControlWindowSkin* LoadedControlWindowSkin(int kind) {
  CDisplaySurfaces* surfaces = CDisplaySurfaces::GetCurrent();
  CDDSkin* skin = surfaces ? surfaces->GetDrawableSkin() : nullptr;
  if (!skin || !skin->IsLoaded()) return nullptr;
  const CDDControlWindowSkin& controlWindow = skin->GetControlWindowSkin(kind);
  return controlWindow.IsCreated() ? &controlWindow : nullptr;
}

INT PartHeight(const CDDControlWindowSkin& skin, int index) {
  const CDIBitmap* part = skin.GetPart(index);
  return part ? static_cast<INT>(part->GetHeight()) : 0;
}

}  // namespace

// --- Display modes

void CControlWindowSystem::SetPlayerDisplayMode(int value) {
  CControlWindowUser* noted = nullptr;
  {
    CriticalSectionLock lock(m_StateLock);
    if (m_PlayerDisplayMode != value) {
      m_PlayerDisplayMode = value;
      if (m_Mode == kModePlayers) noted = m_Users[kModePlayers];
    }
  }
  m_Controller.UpdateFullScreenButton();
  if (noted) noted->SetDisplayMode(value);
}

void CControlWindowSystem::SetVisualizerDisplayMode(int value) {
  CControlWindowUser* noted = nullptr;
  {
    CriticalSectionLock lock(m_StateLock);
    if (m_VisualizerDisplayMode != value) {
      m_VisualizerDisplayMode = value;
      if (m_Mode == kModeVisualizers) noted = m_Users[kModeVisualizers];
    }
  }
  m_Controller.UpdateFullScreenButton();
  if (noted) noted->SetDisplayMode(value);
}

void CControlWindowSystem::SetDisplayMode(int value) {
  CControlWindowUser* user = nullptr;
  {
    CriticalSectionLock lock(m_StateLock);
    if (m_Mode == kModePlayers) m_PlayerDisplayMode = value;
    if (m_Mode == kModeVisualizers) m_VisualizerDisplayMode = value;
    user = m_Users[m_Mode];
  }
  m_Controller.UpdateFullScreenButton();
  if (user) user->SetDisplayMode(value);
}

void CControlWindowSystem::ToggleDisplayMode() {
  CControlWindowUser* user = nullptr;
  int value = 0;
  {
    CriticalSectionLock lock(m_StateLock);
    if (m_Mode != kModePlayers && m_Mode != kModeVisualizers) return;
    int& flag = m_Mode == kModePlayers ? m_PlayerDisplayMode : m_VisualizerDisplayMode;
    flag = flag == 1 ? 0 : 1;
    value = flag;
    user = m_Users[m_Mode];
  }
  m_Controller.UpdateFullScreenButton();
  if (user) user->SetDisplayMode(value);
}

int CControlWindowSystem::GetPlayerDisplayMode() {
  CriticalSectionLock lock(m_StateLock);
  return m_PlayerDisplayMode;
}

int CControlWindowSystem::GetVisualizerDisplayMode() {
  CriticalSectionLock lock(m_StateLock);
  return m_VisualizerDisplayMode;
}

void CControlWindowSystem::PostSetDisplayMode(int mode, const void* caller) {
  if (HWND window = m_MessageWindow.GetWindowHandle())
    PostMessageA(window, kSetDisplayModeMessage, static_cast<WPARAM>(mode), reinterpret_cast<LPARAM>(caller));
}

// --- Geometry

INT CControlWindowSystem::GetWindowHeightFor(INT contentHeight, INT* nonContentHeight) {
  DisplayLockScope display;
  int kind = 0;
  {
    CriticalSectionLock lock(m_StateLock);
    kind = m_MainWindowKind;
  }
  const INT bar = m_Controller.GetBarHeight();
  const CDDControlWindowSkin* skin = LoadedControlWindowSkin(kind);
  const INT margins = skin ? skin->GetMargin(1) + skin->GetMargin(3) : 0;
  if (nonContentHeight) *nonContentHeight = bar + margins;
  if (!skin) return contentHeight + bar;
  ViewerFrame frame;
  frame.topHeight = PartHeight(*skin, 0);
  frame.middleHeight = PartHeight(*skin, 1);
  frame.bottomHeight = PartHeight(*skin, 2);
  frame.margins = margins;
  // Tiles the painter would cut are kept whole by growing the window.
  frame.wholeTiles = skin->GetSizeMode() == 1 && skin->GetExpansionCut();
  return ViewerWindowHeight(frame, contentHeight, bar);
}

INT CControlWindowSystem::GetViewerExtent(bool content) {
  CriticalSectionLock lock(m_StateLock);
  return content ? m_WindowHeight - m_NonContentHeight : m_WindowHeight;
}

void CControlWindowSystem::GetBarMargins(INT margins[4]) { m_Controller.GetBarMargins(margins); }

bool CControlWindowSystem::IsWindowShown() {
  CriticalSectionLock lock(m_StateLock);
  return m_Shown;
}

// --- Skin and display changes

void CControlWindowSystem::IncBusyCount() {
  CriticalSectionLock lock(m_StateLock);
  ++m_BusyCount;
}

int CControlWindowSystem::GetBusyCount() {
  CriticalSectionLock lock(m_StateLock);
  return m_BusyCount;
}

void CControlWindowSystem::BeginSkinChange() {
  m_Controller.ReleaseSurfaces();
  for (CControlWindowProvider* provider : m_Providers) provider->BeginSkinChange();
}

void CControlWindowSystem::EndSkinChange() {
  m_Controller.EndSkinChange();
  for (CControlWindowProvider* provider : m_Providers) provider->EndSkinChange();
  CriticalSectionLock lock(m_StateLock);
  if (m_BusyCount > 0) --m_BusyCount;
}

bool CControlWindowSystem::RestoreSurfaces() {
  CControlWindowProvider* provider = GetCurrentProvider();
  if (provider) {
    LogFormat(LOG_CATEGORY_INFO, "%s\n",
              LocalText("CControlWindowSystem.RestoreProviderSurfacesHeader",
                        "**** restoring viewer window provider surfaces ****")
                  .c_str());
    if (!provider->RestoreSurfaces()) {
      LogThreadError(kSurfaceErrorCategory, provider->GetName());
      return false;
    }
  }
  LogFormat(
      LOG_CATEGORY_INFO, "%s\n",
      LocalText("CControlWindowSystem.RestoreViewerBarSurfacesHeader", "**** restoring viewer bar surfaces ****").c_str());
  return true;
}

void CControlWindowSystem::NotifyProviderLayout() {
  if (CControlWindowProvider* provider = GetCurrentProvider()) provider->OnViewerMoved();
}

void CControlWindowSystem::NotifyProviderRefresh() {
  if (CControlWindowProvider* provider = GetCurrentProvider()) provider->OnActivation();
}

void CControlWindowSystem::ForwardToVisualizer(DWORD code, DWORD value) {
  CControlWindowUser* user = nullptr;
  {
    CriticalSectionLock lock(m_StateLock);
    if (m_Mode != kModeVisualizers) return;
    user = m_Users[kModeVisualizers];
  }
  if (user && ::IsKindOf<CVisualizer>(user)) static_cast<CVisualizer*>(user)->OnPlayerEvent(code, value);
}

// --- Full screen

bool CControlWindowSystem::IsFullScreenActive() { return IsWindowShown() || m_FullScreen->IsActive(); }

void CControlWindowSystem::RetryFullScreenLeave() { m_FullScreen->RetryLeave(); }

void CControlWindowSystem::OnFullScreenWindowActivated(bool active) {
  if (!active) m_FullScreen->ProcessLeave(false);
}

void CControlWindowSystem::OnActivateApp(WPARAM active) {
  if (active == 0) m_FullScreen->ProcessLeave(false);
}

void CControlWindowSystem::MinimizeFromFullScreen(bool deferred) {
  CDisplayLock::Enter();
  if (m_FullScreenSwitch != 0 || !m_FullScreen->IsActiveOrLeaving()) {
    CDisplayLock::Leave();
    return;
  }
  m_FullScreenSwitch = 1;
  m_HoldsDisplayForMinimize = true;
  if (deferred && m_MessageWindow.GetWindowHandle()) {
    // The hold goes with the message; CompleteFullScreenMinimize gives it
    // back on this same thread.
    PostMessageA(m_MessageWindow.GetWindowHandle(), kCompleteMinimizeMessage, 0, 0);
    return;
  }
  CompleteFullScreenMinimize();
}

void CControlWindowSystem::CompleteFullScreenMinimize() {
  if (m_FullScreenSwitch == 1 && m_HoldsDisplayForMinimize) {
    m_FullScreenSwitch = 2;
    m_HoldsDisplayForMinimize = false;
    CDisplayLock::Leave();
    GetControlWindowHost().MinimizeAll(false);
    m_FullScreen->Leave();
    DisplayLockScope display;
    m_FullScreenSwitch = 3;
  }
}

void CControlWindowSystem::OnOwnerWindowActivated(bool active) {
  if (!active || m_FullScreenSwitch == 0) return;
  if (m_FullScreenSwitch == 2) {
    SetActiveWindow(nullptr);
    return;
  }
  RestoreAfterFullScreenMinimize();
}

void CControlWindowSystem::RestoreAfterFullScreenMinimize() {
  if (m_FullScreenSwitch == 1) {
    if (m_HoldsDisplayForMinimize) {
      m_HoldsDisplayForMinimize = false;
      CDisplayLock::Leave();
    }
    m_FullScreen->Redraw();
  } else {
    GetControlWindowHost().RestoreAll();
  }
  m_FullScreenSwitch = 0;
  m_MessageWindow.DispatchMessages(kCompleteMinimizeMessage);
}

// --- The message window

void CControlWindowSystem::OnMessage(void* context, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* system = static_cast<CControlWindowSystem*>(context);
  switch (message) {
    case kProcessRequestsMessage: system->ProcessRequests(); break;
    case kCompleteMinimizeMessage: system->CompleteFullScreenMinimize(); break;
    case kSetDisplayModeMessage:
      if (system->IsCurrentUser(reinterpret_cast<const void*>(lParam)))
        system->SetDisplayMode(static_cast<int>(wParam));
      break;
    default: break;
  }
}
