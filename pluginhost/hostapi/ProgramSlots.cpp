// Host API slots that hand out the program's own things: its control
// font, windows, folders and name.
#include <mutex>

#include "foundation/appcore/ProductName.h"
#include "pluginhost/hostapi/HostApi.h"
#include "pluginhost/hostapi/HostEnvironment.h"
#include "pluginhost/hostapi/HostSlots.h"
#include "pluginhost/hostapi/SlotErrors.h"

namespace hostapi {
namespace {

// The folder texts plug-ins get are the host's own and must stay valid for
// the whole run: taken once, never changed.
struct FolderTexts {
  CStr program;
  CStr plugIns;
  CStr skins;
};

const FolderTexts& Folders() {
  static const FolderTexts folders = [] {
    CHostEnvironment& environment = GetHostEnvironment();
    return FolderTexts{environment.GetProgramFolder(), environment.GetPlugInsFolder(), environment.GetSkinsFolder()};
  }();
  return folders;
}

}  // namespace

HFONT HOST_GetControlFont(DWORD index) {
  if (index != 0) {
    FailInvalidParameter();
    return nullptr;
  }
  return GetHostEnvironment().GetControlFont();
}

// Any other value answers null and leaves the thread error alone.
HWND HOST_GetWindowHandle(DWORD which) {
  if (which == 0) return GetHostEnvironment().GetOwnerWindow();
  if (which == 1) return GetHostEnvironment().GetCurrentMainWindow();
  return nullptr;
}

const char* HOST_GetFolder(DWORD which) {
  switch (which) {
    case 0: return Folders().program.c_str();
    case 1: return Folders().plugIns.c_str();
    case 2: return Folders().skins.c_str();
    default: FailInvalidParameter(); return nullptr;
  }
}

char* HOST_GetPlayerName() {
  char* name = HostAllocString(kProductName);
  if (!name) FailWithMiscError(MISC_ERROR_OUT_OF_MEMORY);
  return name;
}

}  // namespace hostapi
