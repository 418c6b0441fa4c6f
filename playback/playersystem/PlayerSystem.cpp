#include "playback/playersystem/PlayerSystem.h"

#include <strings.h>

#include <algorithm>

#include "foundation/appcore/LogFront.h"
#include "foundation/appcore/ThreadErrorLog.h"
#include "foundation/errors/LocalText.h"
#include "foundation/errors/ThreadErrorState.h"
#include "foundation/kernel/Error.h"
#include "playback/playersystem/VisualizerPlayback.h"
#include "playback/playlist/PlayListFileEntry.h"
#include "playback/visualizer/VisualizerSystem.h"
#include "pluginhost/fileinfo/InfoDataBases.h"
#include "pluginhost/plugins/PlugInManager.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CPlayerSystem, CTypedObject)

namespace {

// The systems' stand-ins while none is installed: each does nothing.
CPlayerSessions g_NoSessions;
CPlayerVisualizers g_NoVisualizers;
CPlayerViewer g_NoViewer;
CPlayerMixer g_NoMixer;
CPlayerFileIdentifier g_NoIdentifier;
CPlayerFolderEnumeration g_NoFolderEnumeration;
CPlayerDiscovery g_NoDiscovery;
CPlayListObserver g_NoObserver;

template <class T>
T* OrAbsent(T* given, T& absent) {
  return given ? given : &absent;
}

}  // namespace

CPlayerSystem::CPlayerSystem() : CPlayerSystem(GetFileInfoDataBase(), GetFolderInfoDataBase()) {}

CPlayerSystem::CPlayerSystem(CFileInfoDataBase& files, CFolderInfoDataBase& folders)
    : m_Files(files),
      m_Folders(folders),
      m_Random(timeGetTime()),
      m_Sessions(&g_NoSessions),
      m_Visualizers(&g_NoVisualizers),
      m_Viewer(&g_NoViewer),
      m_Mixer(&g_NoMixer),
      m_Identifier(&g_NoIdentifier),
      m_FolderEnumeration(&g_NoFolderEnumeration),
      m_Discovery(&g_NoDiscovery),
      m_Observer(&g_NoObserver) {}

CPlayerSystem::~CPlayerSystem() {
  DestroyMessageWindow();
  for (auto player = m_Players.rbegin(); player != m_Players.rend(); ++player) delete *player;
}

void CPlayerSystem::SetSessions(CPlayerSessions* sessions) { m_Sessions = OrAbsent(sessions, g_NoSessions); }
void CPlayerSystem::SetVisualizers(CPlayerVisualizers* visualizers) {
  m_Visualizers = OrAbsent(visualizers, g_NoVisualizers);
}
void CPlayerSystem::SetViewer(CPlayerViewer* viewer) { m_Viewer = OrAbsent(viewer, g_NoViewer); }
void CPlayerSystem::SetMixer(CPlayerMixer* mixer) { m_Mixer = OrAbsent(mixer, g_NoMixer); }
void CPlayerSystem::SetFileIdentifier(CPlayerFileIdentifier* identifier) {
  m_Identifier = OrAbsent(identifier, g_NoIdentifier);
}
void CPlayerSystem::SetFolderEnumeration(CPlayerFolderEnumeration* enumeration) {
  m_FolderEnumeration = OrAbsent(enumeration, g_NoFolderEnumeration);
}
void CPlayerSystem::SetDiscovery(CPlayerDiscovery* discovery) { m_Discovery = OrAbsent(discovery, g_NoDiscovery); }
void CPlayerSystem::SetPlayListObserver(CPlayListObserver* observer) {
  m_Observer = OrAbsent(observer, g_NoObserver);
}
void CPlayerSystem::SetUserInterfaceWindow(HWND window) { m_UserInterfaceWindow = window; }

void CPlayerSystem::Notify(UINT message) {
  if (m_UserInterfaceWindow) SendMessageA(m_UserInterfaceWindow, message, 0, 0);
}

void CPlayerSystem::PostNotice(UINT message) {
  if (m_UserInterfaceWindow) PostMessageA(m_UserInterfaceWindow, message, 0, 0);
}

// --- Lifecycle

void CPlayerSystem::Init(CPlugInManager* plugIns) {
  if (!m_Visualizers->InitSampler())
    ThrowError<CError>(LocalText("CPlayerSystem.DataSamplerError.Caption", "Error"), GetThreadErrorText());
  m_Mixer->Init();
  m_MessageWindow.Create(&CPlayerSystem::OnMessage, this);
  LogFormat(LOG_CATEGORY_INFO, "%s\n",
            LocalText("CPlayerSystem.InitPlayersHeader", "-------- initializing players --------").c_str());
  if (plugIns)
    for (INT index = 0; index < plugIns->GetCount(); ++index) InitPlayers(*plugIns, index);
  if (m_LoadLastPlayList) LoadLastPlayList();
  m_Initialized = true;
}

void CPlayerSystem::InitNewPlayers(CPlugInManager& plugIns, INT first) {
  LogFormat(LOG_CATEGORY_INFO, "%s\n",
            LocalText("CPlayerSystem.InitNewPlayersHeader", "-------- initializing new player(s) --------").c_str());
  for (INT index = std::max(first, 0); index < plugIns.GetCount(); ++index) InitPlayers(plugIns, index);
}

void CPlayerSystem::InitPlayers(CPlugInManager& plugIns, INT index) {
  CPlugIn* plugIn = plugIns.GetPlugIn(index);
  if (!plugIn) return;
  std::vector<CPlayer*> found;
  m_Discovery->DiscoverPlayers(*plugIn, found);
  for (CPlayer* player : found) AddPlayer(player);
}

void CPlayerSystem::Exit() {
  Stop(true);
  {
    CriticalSectionLock lock(m_PlayersLock);
    for (auto player = m_Players.rbegin(); player != m_Players.rend(); ++player) delete *player;
    m_Players.clear();
  }
  {
    CriticalSectionLock lock(m_PlaybackLock);
    m_Candidates.clear();
    m_Answers.clear();
    m_CurrentPlayer = nullptr;
  }
  if (m_Initialized) SaveLastPlayList();
  m_Initialized = false;
  DestroyMessageWindow();
  m_Mixer->Clear();
  m_Visualizers->ShutdownSampler();
}

void CPlayerSystem::RegisterProxyTypes(CProxyDataBase& proxies) {
  CriticalSectionLock lock(m_PlayersLock);
  for (CPlayer* player : m_Players) player->RegisterProxyTypes(proxies);
}

void CPlayerSystem::CollectFileExtensions(CFileExtensionEnum& list) {
  {
    CriticalSectionLock lock(m_PlayersLock);
    for (CPlayer* player : m_Players) player->RegisterFileTypes(list);
  }
  list.Add("m3u", LocalText("CPlayerSystem.M3UPlayListName", "MP3 PlayList").c_str(), 4);
  list.Add("pls", LocalText("CPlayerSystem.PLSPlayListName", "PlayList").c_str(), 4);
}

void CPlayerSystem::AddPlayer(CPlayer* player) {
  if (!player) return;
  CriticalSectionLock lock(m_PlayersLock);
  m_Players.push_back(player);
}

INT CPlayerSystem::GetPlayerCount() {
  CriticalSectionLock lock(m_PlayersLock);
  return static_cast<INT>(m_Players.size());
}

// End reports still queued carry records that only their handler frees.
void CPlayerSystem::DestroyMessageWindow() {
  if (HWND window = m_MessageWindow.GetWindowHandle()) {
    MSG msg;
    while (PeekMessageA(&msg, window, kPlaybackFinishedMessage, kPlaybackFinishedMessage, PM_REMOVE))
      delete reinterpret_cast<RefusalRecord*>(msg.lParam);
  }
  m_MessageWindow.Destroy();
}

// --- State

bool CPlayerSystem::IsPlaying() {
  CriticalSectionLock lock(m_PlaybackLock);
  return m_Playing;
}

bool CPlayerSystem::IsPaused() {
  CriticalSectionLock lock(m_PlaybackLock);
  return m_Paused;
}

DWORD CPlayerSystem::GetPlayCounter() {
  CriticalSectionLock lock(m_PlaybackLock);
  return m_PlayCounter;
}

INT CPlayerSystem::GetFailedFiles() {
  CriticalSectionLock lock(m_PlaybackLock);
  return m_FailedFiles;
}

CPlayListFileEntry* CPlayerSystem::GetCurrentEntry() {
  if (m_CurrentEntry < 0) return nullptr;
  CPlayListEntry* entry = m_PlayList.FindEntry(CPlayListEntryHolder::COLUMN_FILE_NUMBER, m_CurrentEntry);
  if (!entry || entry->IsFolder()) return nullptr;
  return static_cast<CPlayListFileEntry*>(entry);
}

FileInfoRecord* CPlayerSystem::GetCurrentFileObject() {
  CPlayListFileEntry* entry = GetCurrentEntry();
  return entry ? entry->GetFileInfo() : nullptr;
}

CPlayer* CPlayerSystem::GetCurrentPlayer() {
  CriticalSectionLock lock(m_PlaybackLock);
  return m_CurrentPlayer;
}

PLUGIN_HANDLE CPlayerSystem::GetCurrentPlayerHandle() {
  CriticalSectionLock lock(m_CurrentPlayerLock);
  return m_CurrentPlayerHandle;
}

bool CPlayerSystem::IsCurrentPlayer(PLUGIN_HANDLE handle) {
  CriticalSectionLock lock(m_CurrentPlayerLock);
  return handle && handle == m_CurrentPlayerHandle;
}

CPlayer* CPlayerSystem::FindPlayerByHandle(PLUGIN_HANDLE handle) {
  if (!handle) return nullptr;
  CriticalSectionLock lock(m_PlayersLock);
  for (CPlayer* player : m_Players)
    if (player->GetHandle() == handle) return player;
  return nullptr;
}

CPlayer* CPlayerSystem::FindPlayerByKey(const char* key) {
  if (!key) return nullptr;
  CriticalSectionLock lock(m_PlayersLock);
  for (CPlayer* player : m_Players)
    if (strcasecmp(player->GetKey(), key) == 0) return player;
  return nullptr;
}

// --- Volume

int CPlayerSystem::GetVolume() {
  CriticalSectionLock lock(m_VolumeLock);
  return m_MasterVolume;
}

int CPlayerSystem::GetEffectiveVolume() {
  CriticalSectionLock lock(m_VolumeLock);
  return m_EffectiveVolume;
}

void CPlayerSystem::UpdateEffectiveVolume() {
  CPlayListFileEntry* entry = GetCurrentEntry();
  CriticalSectionLock lock(m_VolumeLock);
  m_EffectiveVolume = entry ? m_MasterVolume * entry->GetVolume() / 100 : m_MasterVolume;
}

// Players get the level as a table index of the sound output, so a value
// outside 0..256 never reaches them.
void CPlayerSystem::SetVolume(int volume) {
  {
    CriticalSectionLock lock(m_VolumeLock);
    m_MasterVolume = std::clamp(volume, 0, kFullVolume);
  }
  UpdateEffectiveVolume();
  {
    CriticalSectionLock lock(m_PlaybackLock);
    if (m_Playing && m_CurrentPlayer) m_CurrentPlayer->SetVolume(GetEffectiveVolume());
  }
  Notify(PLAYER_NOTICE_VOLUME);
}

void CPlayerSystem::ChangeVolume(int delta) { SetVolume(std::clamp(GetVolume() + delta, 0, kFullVolume)); }

// --- Around the display

bool CPlayerSystem::RestorePlayerSurfaces() {
  LogFormat(LOG_CATEGORY_INFO, "%s\n",
            LocalText("CPlayerSystem.RestorePlayerSurfacesHeader", "**** restoring player surfaces ****").c_str());
  bool restored = true;
  CriticalSectionLock lock(m_PlayersLock);
  for (CPlayer* player : m_Players) {
    if (player->RestoreSurfaces()) continue;
    LogThreadError(0x400, player->GetName());
    restored = false;
  }
  return restored;
}

void CPlayerSystem::BeginSkinChange() {
  CriticalSectionLock lock(m_PlayersLock);
  for (CPlayer* player : m_Players) player->BeginSkinChange();
}

void CPlayerSystem::EndSkinChange() {
  CriticalSectionLock lock(m_PlayersLock);
  for (CPlayer* player : m_Players) player->EndSkinChange();
}

CPlayerSystem& GetPlayerSystem() {
  static auto* system = [] {
    auto* made = new CPlayerSystem;
    made->SetVisualizers(new CVisualizerPlayback(GetVisualizerSystem()));
    made->KeepLastPlayListInProgramFolder();
    return made;
  }();
  return *system;
}
