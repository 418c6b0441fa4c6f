// The host's image list of icons as plug-ins add to it: an icon, an icon
// of a file and a system image-list icon each become an index into the
// list. Every failure answers 0, the index of the list's default icon; a
// thrown error is stored as the thread's error.
#include "foundation/icons/IconManager.h"
#include "pluginhost/hostapi/HostEnvironment.h"
#include "pluginhost/hostapi/HostSlots.h"
#include "pluginhost/hostapi/SlotErrors.h"

namespace hostapi {

namespace {

template <class Work>
int32_t WithIconManager(Work&& work) {
  CIconManager* icons = GetHostEnvironment().GetIconManager();
  if (!icons) return 0;
  return RunSlot<int32_t>(0, [&] { return static_cast<int32_t>(work(*icons)); });
}

}  // namespace

int32_t HOST_AddIcon(HICON icon) {
  if (!icon) return 0;
  return WithIconManager([icon](CIconManager& icons) { return icons.GetIconIndex(icon); });
}

int32_t HOST_AddIconFromFile(const char* path, int32_t number) {
  if (!path) return 0;
  return WithIconManager([path, number](CIconManager& icons) { return icons.GetFileIconIndex(path, number); });
}

// The file-object enumeration turns the shell's icon indices into the
// host's through this slot.
int32_t HOST_GetSystemIconIndex(int32_t systemIndex) {
  if (systemIndex < 0) return 0;
  return WithIconManager([systemIndex](CIconManager& icons) { return icons.GetSystemIconIndex(systemIndex); });
}

}  // namespace hostapi
