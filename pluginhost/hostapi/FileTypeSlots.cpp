// Host API slots through which plug-ins classify files: an identifier's
// report of what a file is (slot 66) and a filter's descriptions while it
// builds them (slot 110).
#include <algorithm>

#include "pluginhost/filters/FileFilterDesc.h"
#include "pluginhost/handles/HandedOutFilterList.h"
#include "pluginhost/hostapi/HostEnvironment.h"
#include "pluginhost/hostapi/HostSlots.h"
#include "pluginhost/hostapi/SlotErrors.h"

namespace hostapi {
namespace {

// Priorities travel as 32-bit words; anything above the top counts as the
// top, not as a negative number.
int ClampPriority(DWORD priority) { return static_cast<int>(std::min<DWORD>(priority, 255)); }

}  // namespace

BOOL HOST_SetFileInfo(const char* path, const char* typeText, DWORD typePriority, int32_t typeIcon,
                      DWORD iconPriority, int32_t thirdValue, DWORD thirdPriority, PLUGIN_HANDLE caller) {
  if (!caller || !path) return FailInvalidParameter();
  return RunSlot(FALSE, [&] {
    GetHostEnvironment().UpdateFileInfo(path, typeText, ClampPriority(typePriority), std::max(typeIcon, 0),
                                        ClampPriority(iconPriority), thirdValue, ClampPriority(thirdPriority));
    return TRUE;
  });
}

BOOL HOST_AddFileFilterPattern(HOST_FILEFILTERLIST list, const char* text, FILEFILTER_DESCRIPTION description,
                               PLUGIN_HANDLE caller) {
  if (!caller || !text) return FailInvalidParameter();
  HandedOutFilterLists::Pin collector = FindHandedOutFilterList(list);
  if (!collector) return FailInvalidParameter();
  return RunSlot(FALSE, [&] {
    collector->AddDesc(text, description, caller);
    return TRUE;
  });
}

}  // namespace hostapi
