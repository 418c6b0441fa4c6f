// Host API slots that players call about their own playback; each is
// answered by the player system for the calling player.
#include "playback/playersystem/PlayerSystem.h"
#include "pluginhost/hostapi/HostSlots.h"
#include "pluginhost/hostapi/SlotErrors.h"

namespace hostapi {

// Only the current player, and only when its answer asked for it, gets
// the file; the call waits until the file identification has let go.
BOOL GetExclusiveFileAccess(const char* url, PLUGIN_HANDLE player) {
  if (!url) return FailInvalidParameter();
  return RunSlot(FALSE, [&] { return GetPlayerSystem().GetExclusiveFileAccess(url, player) ? TRUE : FALSE; });
}

}  // namespace hostapi
