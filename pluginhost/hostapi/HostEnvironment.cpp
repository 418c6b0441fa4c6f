#include "pluginhost/hostapi/HostEnvironment.h"

#include <atomic>
#include <cstring>

#include "foundation/appcore/MainWindow.h"
#include "foundation/appcore/ProgramIcons.h"
#include "foundation/icons/IconManager.h"
#include "foundation/kernel/Error.h"
#include "pluginhost/fileinfo/InfoDataBases.h"

namespace {

std::atomic<CHostEnvironment*> theEnvironment{nullptr};

CHostEnvironment& DefaultEnvironment() {
  static CHostEnvironment environment;
  return environment;
}

}  // namespace

CStr CHostEnvironment::GetProgramFolder() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  if (length == 0 || length >= sizeof path) return CStr("./");
  CStr program(path, length);
  const char* text = program.c_str();
  const char* slash = std::strrchr(text, '/');
  return slash ? CStr(text, static_cast<size_t>(slash - text) + 1) : CStr("./");
}

CStr CHostEnvironment::GetPlugInsFolder() { return GetProgramFolder() + "PlugIns/"; }

CStr CHostEnvironment::GetSkinsFolder() { return GetProgramFolder() + "Skins/"; }

HWND CHostEnvironment::GetOwnerWindow() { return nullptr; }

HWND CHostEnvironment::GetCurrentMainWindow() { return GetMainWindowHandle(); }

HFONT CHostEnvironment::GetControlFont() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

int CHostEnvironment::ShowMessageBox(HWND owner, const char* text, const char* caption, UINT style) {
  return MessageBoxA(owner, text, caption, style);
}

INT CHostEnvironment::GetFileTypeIconIndex(const char* url) {
  CIconManager* icons = GetIconManager();
  return icons ? ::GetFileTypeIconIndex(*icons, GetModuleHandleA(nullptr), url) : 0;
}

INT CHostEnvironment::GetProgramIconIndex(WORD resource) {
  CIconManager* icons = GetIconManager();
  if (!icons) return 0;
  const HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resource));
  if (!icon) return 0;
  try {
    return icons->GetIconIndex(icon);
  } catch (CError* error) {
    DisposeError(error);
    return 0;
  }
}

void CHostEnvironment::UpdateFileInfo(const char* path, const char* typeText, int textPriority, int typeIcon,
                                      int iconPriority, int thirdValue, int thirdPriority) {
  GetFileInfoDataBase().UpdateFileInfo(path, typeText, textPriority, typeIcon, iconPriority, thirdValue,
                                       thirdPriority);
}

void SetHostEnvironment(CHostEnvironment* environment) { theEnvironment.store(environment); }

CHostEnvironment& GetHostEnvironment() {
  CHostEnvironment* environment = theEnvironment.load();
  return environment ? *environment : DefaultEnvironment();
}
