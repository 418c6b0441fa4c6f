// The second start phase: the systems come up in order, each step timed
// with -z; then the plug-in folder and its later re-scans.
#include "app/core/System.h"
#include "app/core/SystemHostEnvironment.h"
#include "foundation/appcore/MainWindow.h"
#include "foundation/appcore/ProgramIcons.h"
#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Error.h"
#include "playback/data/DataSystem.h"
#include "pluginhost/hostapi/HostApiModule.h"

namespace {

constexpr WORD kDesktopIconResource = 110;
constexpr const char* kDesktopUrl = "virtual://desktop";

// Runs one start step between BeginTiming and EndTiming.
template <class Step>
void Timed(CSystem& system, const char* label, Step step) {
  system.BeginTiming();
  step();
  system.EndTiming(label);
}

}  // namespace

void CSystem::Init() {
  BeginTiming();
  Timed(*this, "retrieve system info", [this] { RetrieveSystemInfo(); });
  Timed(*this, "init plugin API", [this] {
    InstallSystemHostEnvironment(*this);
    InitHostApi();
    m_HostApiReady = true;
  });
  Timed(*this, "init icon manager", [this] {
    m_IconManagerReady = true;
    InitIconManager(m_IconManager, m_Instance);
  });
  Timed(*this, "init folder info database", [this] { InitFolderInfoDataBase(); });
  Timed(*this, "load options", [this] { LoadOptions(); });
  Timed(*this, "load plugins", [this] { LoadPlugIns(); });
  Timed(*this, "init data system", [this] { GetDataSystem().Init(m_PlugInManager); });
  GetDataSystem().InitProxyDataBase();
  EndTiming("complete start initialization");
  LogFormat(LOGCODE_INFO, "%s\n\n",
            LocalText("CSystem.InitDone", "-------- START INITIALIZATIONS DONE --------").c_str());

  // A WM_QUIT taken by a modal loop on the way (a question at the first
  // start) ends the start here.
  if (IsQuitting()) return;
  if (HWND mainWindow = GetMainWindowHandle()) PostMessageA(mainWindow, kStartCompleteMessage, 0, 0);
  if (IsQuitting()) return;
  WriteFirstStart(false);
}

void CSystem::InitInfoDataBases() {
  if (!m_FileInfoDataBase) m_FileInfoDataBase = new CFileInfoDataBase;
  if (!m_FolderInfoDataBase) m_FolderInfoDataBase = new CFolderInfoDataBase;
}

void CSystem::FreeInfoDataBases() {
  delete m_FolderInfoDataBase;
  m_FolderInfoDataBase = nullptr;
  delete m_FileInfoDataBase;
  m_FileInfoDataBase = nullptr;
}

// The desktop is the file browser's root: its record carries the
// localised name and the desktop icon.
void CSystem::InitFolderInfoDataBase() {
  InitInfoDataBases();
  INT index = 0;
  if (HICON icon = LoadIconA(m_Instance, MAKEINTRESOURCEA(kDesktopIconResource))) index = m_IconManager.GetIconIndex(icon);
  if (index == 0) {
    LogFormat(LOGCODE_RESOURCES, "%s\n",
              LocalText("CSystem.IconWarning.Desktop", "WARNING: Error loading icon 'desktop'.").c_str());
  }
  const CStr name = LocalText("CSystem.DesktopName", "Desktop");
  CriticalSectionLock lock(m_FolderInfoDataBase->GetLock());
  FolderInfoRecord* record = m_FolderInfoDataBase->Get(kDesktopUrl);
  DWORD changes = 0;
  if (SetFileObjectString(record->displayText, name)) changes |= FILEOBJECT_CHANGED_DISPLAYTEXT;
  if (record->iconIndex != index) {
    record->iconIndex = index;
    changes |= FILEOBJECT_CHANGED_ICON;
  }
  if (record->openIconIndex != index) {
    record->openIconIndex = index;
    changes |= FILEOBJECT_CHANGED_OPENICON;
  }
  for (DWORD bit : {FILEOBJECT_CHANGED_DISPLAYTEXT, FILEOBJECT_CHANGED_ICON, FILEOBJECT_CHANGED_OPENICON})
    if (changes & bit) NotifyFileObjectListeners(record, bit);
}

void CSystem::LoadOptions() { GetDataSystem().LoadOptions(); }

void CSystem::LoadPlugIns() {
  m_PlugInsChange = FindFirstChangeNotificationA(m_PlugInsFolder, FALSE, FILE_NOTIFY_CHANGE_FILE_NAME);
  if (m_PlugInsChange == INVALID_HANDLE_VALUE) {
    LogFormat(LOGCODE_WARNING, "%s\n",
              LocalText("CSystem.CannotSetupPluginChangeNotification",
                        "WARNING: Unable to set up plugin change notification. New plugins will only be detected at "
                        "program start.")
                  .c_str());
  }
  LogFormat(LOGCODE_INFO, "%s\n", LocalText("CSystem.LoadingPluginsHeader", "-------- loading plugins --------").c_str());
  m_PlugInManager.ScanFolder(m_PlugInsFolder, false);
  LogFormat(LOGCODE_INFO, "%s\n", LocalText("CSystem.LoadingPluginsFinished", "finished loading plugins").c_str());
}

void CSystem::LoadNewPlugIns() {
  if (m_PlugInsChange == INVALID_HANDLE_VALUE) return;
  if (WaitForSingleObject(m_PlugInsChange, 0) != WAIT_OBJECT_0) return;
  const INT before = m_PlugInManager.GetCount();
  do {
    m_PlugInManager.ScanFolder(m_PlugInsFolder, true);
    FindNextChangeNotification(m_PlugInsChange);
  } while (WaitForSingleObject(m_PlugInsChange, 0) == WAIT_OBJECT_0);
  if (m_PlugInManager.GetCount() <= before) return;
  GetDataSystem().InitNewStreamProviders(m_PlugInManager, before);
  LogFormat(LOGCODE_INFO, "\n%s\n\n",
            LocalText("CSystem.LoadingNewPluginsFinished", "-------- finished loading new plugin(s) --------").c_str());
}

void CSystem::UnloadPlugIns() {
  m_PlugInManager.UnloadAll();
  if (m_PlugInsChange != INVALID_HANDLE_VALUE) FindCloseChangeNotification(m_PlugInsChange);
  m_PlugInsChange = INVALID_HANDLE_VALUE;
}

void CSystem::BeginTiming() {
  if (m_Timing) m_TimingStack.push_back(timeGetTime());
}

void CSystem::EndTiming(const char* label) {
  if (!m_Timing || m_TimingStack.empty()) return;
  const DWORD elapsed = timeGetTime() - m_TimingStack.back();
  m_TimingStack.pop_back();
  LogFormat(LOGCODE_INFO, "PERFORMANCE: %s = %lu ms\n", label, static_cast<unsigned long>(elapsed));
}
