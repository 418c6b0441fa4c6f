// The second start phase: the systems come up in order, each step timed
// with -z; then the plug-in folder and its later re-scans.
#include "app/associations/FileAssociations.h"
#include "app/core/DataSystemUrlReader.h"
#include "app/core/System.h"
#include "app/core/SystemHostEnvironment.h"
#include "app/ui/UserInterface.h"
#include "app/ui/ViewerHost.h"
#include "display/controls/DDControlServices.h"
#include "display/directx/DirectSoundLoader.h"
#include "foundation/appcore/MainWindow.h"
#include "foundation/appcore/ProgramIcons.h"
#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Error.h"
#include "playback/data/DataSystem.h"
#include "playback/playersystem/PlayerSystem.h"
#include "playback/visualizer/VisualizerSystem.h"
#include "pluginhost/enumeration/FileObjectEnumerationSystem.h"
#include "pluginhost/fileinfo/InfoDataBases.h"
#include "pluginhost/filters/FileFilterSystem.h"
#include "pluginhost/hostapi/HostApi.h"
#include "pluginhost/hostapi/HostApiModule.h"
#include "pluginhost/identifiers/FileIdentifierSystem.h"
#include "pluginhost/players/PlayerSystemConnection.h"
#include "pluginhost/viewer/ControlWindowSystem.h"
#include "pluginhost/visualizers/PlugInVisualizerDiscovery.h"

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
  Timed(*this, "load DirectSound", [] { GetDirectSoundLoader().Load(); });
  Timed(*this, "init plugin API", [this] {
    InstallSystemHostEnvironment(*this);
    InitHostApi();
    // The windows' controls draw their text through the same table.
    InitDDControls(GetHostApiTable(), m_Instance);
    m_HostApiReady = true;
  });
  Timed(*this, "init icon manager", [this] {
    m_IconManagerReady = true;
    InitIconManager(m_IconManager, m_Instance);
  });
  Timed(*this, "init folder info database", [this] { InitFolderInfoDataBase(); });
  Timed(*this, "load options", [this] { LoadOptions(); });
  Timed(*this, "init user interface", [] { GetUserInterface().Init(); });
  Timed(*this, "load plugins", [this] { LoadPlugIns(); });
  Timed(*this, "init data system", [this] {
    GetDataSystem().Init(GetPlugInManager());
    RegisterDataSystemUrlReader();
  });
  Timed(*this, "init file object enumeration system",
        [this] { GetFileObjectEnumerationSystem().Init(&GetPlugInManager()); });
  Timed(*this, "init control window system", [this] {
    GetControlWindowSystem().Init(&GetPlugInManager());
    m_ViewerReady = true;
  });
  Timed(*this, "init visualizer system", [this] {
    GetVisualizerSystem().SetViewer(&GetControlWindowSystem());
    GetVisualizerSystem().SetDiscovery(&GetPlugInVisualizerDiscovery());
    GetVisualizerSystem().Init(&GetPlugInManager());
  });
  Timed(*this, "init file identifier system", [this] { InitFileIdentifierSystem(); });
  Timed(*this, "init player system", [this] { InitPlayerSystem(); });
  Timed(*this, "init file filter system", [this] { GetFileFilterSystem().Init(&GetPlugInManager()); });
  GetDataSystem().InitProxyDataBase([](CProxyDataBase& proxies) {
    GetPlayerSystem().RegisterProxyTypes(proxies);
    GetFileObjectEnumerationSystem().RegisterProxyTypes(proxies);
  });
  EndTiming("complete start initialization");
  LogFormat(LOGCODE_INFO, "%s\n\n",
            LocalText("CSystem.InitDone", "-------- START INITIALIZATIONS DONE --------").c_str());

  // A WM_QUIT taken by a modal loop on the way (a question at the first
  // start) ends the start here.
  if (IsQuitting()) return;
  if (HWND owner = m_OwnerWindow->GetWindowHandle()) SetForegroundWindow(owner);
  if (HWND mainWindow = GetMainWindowHandle()) PostMessageA(mainWindow, kStartCompleteMessage, 0, 0);
  if (IsQuitting()) return;
  if (m_FirstStart) {
    GetUserInterface().AskUpdateCheck();
    if (IsQuitting()) return;
  }
  GetUserInterface().ShowStartupNotices();
  if (IsQuitting()) return;
  WriteFirstStart(false);
  if (m_PendingCommands) m_OwnerWindow->PostCommands(m_PendingCommands.release());
}

// The program's two information databases are the process's: the player
// system, the playlist reader and the host's slots reach the same records
// through GetFileInfoDataBase and GetFolderInfoDataBase.
void CSystem::InitInfoDataBases() {
  m_FileInfoDataBase = &::GetFileInfoDataBase();
  m_FolderInfoDataBase = &::GetFolderInfoDataBase();
}

// Whoever shows a record listens to it; the records go in the next step,
// so every listener lets go of them first.
void CSystem::DetachInfoListeners() {
  if (m_FolderInfoDataBase) m_FolderInfoDataBase->DetachAllListeners();
  if (m_FileInfoDataBase) m_FileInfoDataBase->DetachAllListeners();
}

void CSystem::FreeInfoDataBases() {
  if (m_FolderInfoDataBase) m_FolderInfoDataBase->FreeAll();
  m_FolderInfoDataBase = nullptr;
  if (m_FileInfoDataBase) m_FileInfoDataBase->FreeAll();
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

void CSystem::LoadOptions() {
  GetUserInterface().LoadOptions();
  GetDataSystem().LoadOptions();
  // The viewer takes its settings for the main window kind just read.
  SetControlWindowHost(&GetUserInterfaceViewerHost());
  GetControlWindowSystem().LoadSettings();
  GetVisualizerSystem().LoadOptions();
  GetPlayerSystem().LoadOptions();
}

// The player system hears the host's player reports and finds its players
// among the plug-ins' objects once it is connected.
void CSystem::InitPlayerSystem() {
  CPlayerSystem& players = GetPlayerSystem();
  ConnectPlayerSystemToHost(players);
  players.SetViewer(&GetControlWindowSystem());
  m_PlayerSystemConnected = true;
  players.Init(&GetPlugInManager());
  // Once the players are known, their extensions are checked against the
  // associations of the last run.
  associations::CheckFileAssociations(players);
}

// The playlist's files are identified in the background from now on.
void CSystem::InitFileIdentifierSystem() {
  CFileIdentifierSystem& identifiers = GetFileIdentifierSystem();
  GetPlayerSystem().SetFileIdentifier(&identifiers);
  identifiers.Init(&GetPlugInManager(), *m_FileInfoDataBase);
}

void CSystem::ExitFileIdentifierSystem() {
  GetFileIdentifierSystem().Exit();
  GetPlayerSystem().SetFileIdentifier(nullptr);
}

void CSystem::ExitPlayerSystem() {
  CPlayerSystem& players = GetPlayerSystem();
  players.Exit();
  if (m_PlayerSystemConnected) {
    DisconnectPlayerSystemFromHost(players);
    players.SetViewer(nullptr);
  }
  m_PlayerSystemConnected = false;
}

void CSystem::LoadPlugIns() { m_PlugIns.LoadPlugIns(m_PlugInsFolder); }

// Every system takes the objects of the new plug-ins, in the order they
// came up at start.
void CSystem::LoadNewPlugIns() {
  m_PlugIns.LoadNewPlugIns([this](INT firstNew) {
    CPlugInManager& plugIns = GetPlugInManager();
    GetDataSystem().InitNewStreamProviders(plugIns, firstNew);
    GetFileObjectEnumerationSystem().InitNewPlugIns(plugIns, firstNew);
    GetControlWindowSystem().InitNewPlugIns(plugIns, firstNew);
    GetVisualizerSystem().InitNewVisualizers(plugIns, firstNew);
    GetFileIdentifierSystem().InitNewPlugIns(plugIns, firstNew);
    GetPlayerSystem().InitNewPlayers(plugIns, firstNew);
    GetFileFilterSystem().InitNewPlugIns(plugIns, firstNew);
  });
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
