// Bringing the display back after its surfaces were lost: a display mode
// change, or another program that took the display for itself.
#include "app/core/System.h"
#include "app/ui/UserInterface.h"
#include "display/directx/DirectDrawFailure.h"
#include "display/directx/DirectXErrorTexts.h"
#include "display/state/DisplayLock.h"
#include "display/window/Window.h"
#include "foundation/appcore/LogFront.h"
#include "foundation/errors/LocalText.h"
#include "foundation/errors/ThreadErrorState.h"
#include "foundation/kernel/Error.h"
#include "foundation/kernel/Placeholder.h"
#include "playback/playersystem/PlayerSystem.h"
#include "playback/visualizer/VisualizerSystem.h"
#include "pluginhost/filters/FileFilterSystem.h"
#include "pluginhost/identifiers/FileIdentifierSystem.h"

bool CUserInterface::AreSurfacesLost() {
  DisplayLockScope lock;
  return m_SurfacesLost;
}

bool CUserInterface::RestorePrimaryBlitter() {
  const HRESULT result = m_PrimaryBlitter.Restore();
  if (SUCCEEDED(result)) return true;
  SetDirectDrawThreadError(result);
  LogFormat(LOGCODE_SUBSYSTEM, "%s: %s\n", LocalText("DirectDrawError.Caption", "DirectDraw error").c_str(),
            GetDirectDrawErrorText(static_cast<DWORD>(result)).c_str());
  return false;
}

bool CUserInterface::RestoreMainWindows() {
  bool restored = true;
  for (CWindow* window : m_MainWindows)
    if (window && !window->RestoreSurfaces()) restored = false;
  return restored;
}

// Every system that draws with its own surfaces restores them; each is
// asked even when one before failed.
bool CUserInterface::RestoreSystemSurfaces() {
  bool restored = GetVisualizerSystem().RestoreSurfaces();
  if (!GetPlayerSystem().RestorePlayerSurfaces()) restored = false;
  if (!GetFileFilterSystem().RestoreSurfaces()) restored = false;
  if (!GetFileIdentifierSystem().RestoreSurfaces()) restored = false;
  return restored;
}

void CUserInterface::RequestRestoreSurfaces() {
  PostMessageA(m_MessageWindow.GetWindowHandle(), kRestoreSurfacesMessage, 0, 0);
}

bool CUserInterface::RestoreSurfaces() {
  if (m_Restoring || m_ChangingSkin) {
    // Runs again once this restoration is over.
    RequestRestoreSurfaces();
    return true;
  }
  m_Restoring = true;
  m_MessageWindow.DiscardMessages(kRestoreSurfacesMessage);
  CDisplayLock::Enter();
  LogFormat(LOGCODE_INFO, "\n");
  LogTime(LOGCODE_INFO);
  LogText(LOGCODE_INFO, "CUserInterface.RestoringSurfacesHeader", " --------Restoring surfaces--------", "\n");
  const DWORD start = timeGetTime();

  bool restored = false;
  try {
    InitDisplayModeData();
    if (!m_UnsupportedDisplay && RestorePrimarySurface() && RestorePrimaryBlitter()) {
      // The skin's surfaces are rebuilt from the skin loaded anew; that
      // takes the display lock where it needs it.
      CDisplayLock::Leave();
      bool skinBuilt = false;
      try {
        skinBuilt = InitSkin();
      } catch (CError*) {
        CDisplayLock::Enter();
        throw;
      }
      CDisplayLock::Enter();
      if (skinBuilt) {
        restored = RestoreBackBuffer() && RestoreMainWindows();
        CDisplayLock::Leave();
        restored = RestoreSystemSurfaces() && restored;
        CDisplayLock::Enter();
      }
    }
  } catch (CError* error) {
    StoreThreadError(error);
    DisposeError(error);
  }
  m_SurfacesLost = !restored;

  LogTime(LOGCODE_INFO);
  if (restored) {
    const CStr text = ReplacePlaceholder(
        LocalText("CUserInterface.RestoreSurfacesDone", " --------all surfaces restored-------- (%MILLIS% ms)"),
        {"%MILLIS%", CStr::Format("%lu", static_cast<unsigned long>(timeGetTime() - start))});
    LogFormat(LOGCODE_INFO, "%s\n\n", text.c_str());
  } else {
    LogText(LOGCODE_INFO, "CUserInterface.RestoreSurfacesFailed", " --------RESTORING SURFACES FAILED--------", "\n\n");
  }
  CDisplayLock::Leave();
  m_Restoring = false;
  return restored;
}
