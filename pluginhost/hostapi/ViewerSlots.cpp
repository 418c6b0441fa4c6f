// The viewer window's host slots that answer at once, without a request.
#include "display/state/DisplayLock.h"
#include "pluginhost/hostapi/HostSlots.h"
#include "pluginhost/hostapi/SlotErrors.h"
#include "pluginhost/viewer/ControlWindowHost.h"
#include "pluginhost/viewer/ControlWindowSystem.h"

namespace hostapi {

int32_t HOST_ViewerGetPlayerMode() { return GetControlWindowSystem().GetPlayerDisplayMode(); }

int32_t HOST_ViewerGetVisualizerMode() { return GetControlWindowSystem().GetVisualizerDisplayMode(); }

BOOL HOST_GetFullScreenMode(HostFullScreenMode* mode, PLUGIN_HANDLE caller) {
  if (!mode || !caller) return FailInvalidParameter();
  INT width = 0;
  INT height = 0;
  INT bits = 0;
  {
    DisplayLockScope display;
    GetControlWindowHost().GetFullScreenMode(&width, &height, &bits);
  }
  mode->width = width;
  mode->height = height;
  mode->bitsPerPixel = bits;
  return TRUE;
}

void HOST_GetViewerHookPoint(POINT* point, double* displacement) {
  POINT hook{};
  double fraction = 0;
  {
    DisplayLockScope display;
    GetControlWindowHost().GetControlWindowHook(&hook, &fraction);
  }
  if (point) *point = hook;
  if (displacement) *displacement = fraction;
}

int32_t HOST_GetViewerDefaultWidth() {
  DisplayLockScope display;
  return GetControlWindowHost().GetControlWindowDefaultWidth();
}

}  // namespace hostapi
