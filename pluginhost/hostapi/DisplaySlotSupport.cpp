#include "pluginhost/hostapi/DisplaySlotSupport.h"

#include "display/skinrender/DDSkin.h"
#include "display/state/DisplayState.h"
#include "display/state/DisplaySurfaces.h"
#include "foundation/errors/LocalText.h"
#include "foundation/errors/ThreadErrorState.h"
#include "pluginhost/hostapi/HostSlots.h"

namespace hostapi {

bool IsDisplayModeUnusable() {
  const CDisplayState* display = CDisplayState::GetCurrent();
  return display && !CDisplayState::IsSupportedFormat(display->GetPixelFormat());
}

CDDSkin* GetDrawableSkin() {
  CDisplaySurfaces* surfaces = CDisplaySurfaces::GetCurrent();
  return surfaces ? surfaces->GetDrawableSkin() : nullptr;
}

void SetDisplayUnavailableError(const char* key, const char* defaultText) {
  if (IsDisplayModeUnusable()) {
    HOST_SetDirectDrawError(static_cast<DWORD>(DDERR_UNSUPPORTEDMODE));
    return;
  }
  SetThreadError(THREAD_ERROR_GENERAL, 0, LocalText(key, defaultText).c_str());
}

}  // namespace hostapi
