#include "pluginhost/enumeration/FileObjectEnumerationSystem.h"

#include <memory>

#include "foundation/appcore/LogFront.h"
#include "foundation/errors/LocalText.h"
#include "foundation/errors/ThreadErrorState.h"
#include "pluginhost/enumeration/FileObjectEnumerationManager.h"
#include "pluginhost/enumeration/PlugInFileObjectEnumeratorProvider.h"
#include "pluginhost/fileinfo/InfoDataBases.h"
#include "pluginhost/hostapi/HostEnvironment.h"
#include "pluginhost/plugins/ObjectDiscovery.h"
#include "pluginhost/plugins/PlugInManager.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CFileObjectEnumerationSystem, CTypedObject)

namespace {

constexpr DWORD kSurfaceErrorCategory = 0x400;
constexpr WORD kFolderIconResource = 113;
constexpr WORD kOpenFolderIconResource = 114;

// The payload of 1225 and 1226 (lParam); the URL travels in wParam.
struct InfoUpdate {
  std::unique_ptr<char[]> displayText;
  INT iconIndex = -1;
  INT openIconIndex = -1;
};

void LogHeader(const char* key, const char* defaultText) {
  LogFormat(LOG_CATEGORY_INFO, "%s\n", LocalText(key, defaultText).c_str());
}

std::unique_ptr<char[]> CopyText(const char* text) { return std::unique_ptr<char[]>(DuplicateString(text)); }

// Frees what a notice carries, whoever ends up holding it.
void FreeNotice(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kFolderRefreshMessage) {
    delete[] reinterpret_cast<char*>(lParam);
    return;
  }
  delete[] reinterpret_cast<char*>(wParam);
  delete reinterpret_cast<InfoUpdate*>(lParam);
}

// A notice that cannot be posted is freed at once.
bool PostNotice(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (window && PostMessageA(window, message, wParam, lParam)) return true;
  FreeNotice(message, wParam, lParam);
  return false;
}

// Stores a given display text and icons that differ, under the database's
// lock, and tells the record's listeners.
void ApplyInfoUpdate(CFileObjectInfoDataBase& records, const char* url, const InfoUpdate& update, bool folder) {
  CriticalSectionLock lock(records.GetLock());
  FileObjectInfoRecord* record = records.Find(url);
  if (!record) return;
  if (update.displayText && SetFileObjectString(record->displayText, update.displayText.get()))
    NotifyFileObjectListeners(record, FILEOBJECT_CHANGED_DISPLAYTEXT);
  if (update.iconIndex != -1 && record->iconIndex != update.iconIndex) {
    record->iconIndex = update.iconIndex;
    NotifyFileObjectListeners(record, FILEOBJECT_CHANGED_ICON);
  }
  if (!folder || update.openIconIndex == -1) return;
  auto* folderRecord = static_cast<FolderInfoRecord*>(record);
  if (folderRecord->openIconIndex == update.openIconIndex) return;
  folderRecord->openIconIndex = update.openIconIndex;
  NotifyFileObjectListeners(record, FILEOBJECT_CHANGED_OPENICON);
}

}  // namespace

void CFileObjectEnumerationSystem::Init(CPlugInManager* plugIns) {
  Exit();
  m_Window.Create(&OnMessage, this);
  LogHeader("CFileObjectEnumerationSystem.InitializingProvidersHeader",
            "-------- initializing file object enumerator providers --------");
  m_FolderIcons.closed = GetHostEnvironment().GetProgramIconIndex(kFolderIconResource);
  m_FolderIcons.open = GetHostEnvironment().GetProgramIconIndex(kOpenFolderIconResource);
  if (plugIns)
    for (INT index = 0; index < plugIns->GetCount(); ++index) InitPlugIn(*plugIns, index);
}

void CFileObjectEnumerationSystem::InitNewPlugIns(CPlugInManager& plugIns, INT first) {
  LogHeader("CFileObjectEnumerationSystem.InitializingNewProvidersHeader",
            "-------- initializing new file object enumerator provider(s) --------");
  for (INT index = first < 0 ? 0 : first; index < plugIns.GetCount(); ++index) InitPlugIn(plugIns, index);
}

void CFileObjectEnumerationSystem::InitPlugIn(CPlugInManager& plugIns, INT index) {
  CPlugIn* plugIn = plugIns.GetPlugIn(index);
  if (!plugIn) return;
  DiscoverObjects<CPlugInFileObjectEnumeratorProvider, CPlugInFileObjectEnumeratorProvider2>(
      *plugIn, PLUGINOBJ_FILEOBJECTENUMERATORPROVIDER,
      [this](CFileObjectEnumeratorProvider* provider) { AddProvider(provider); });
}

void CFileObjectEnumerationSystem::Exit() {
  m_Providers.clear();
  FreeQueuedNotices();
  m_Window.Destroy();
  m_RefreshTarget = nullptr;
}

void CFileObjectEnumerationSystem::AddProvider(CFileObjectEnumeratorProvider* provider) {
  m_Providers.emplace_back(provider);
}

CFileObjectEnumeratorProvider* CFileObjectEnumerationSystem::GetProvider(INT index) const {
  return index >= 0 && index < GetProviderCount() ? m_Providers[static_cast<size_t>(index)].get() : nullptr;
}

CFileObjectEnumerationManager* CFileObjectEnumerationSystem::StartEnumeration(const char* url, const char* pattern,
                                                                             DWORD flags, HWND owner) {
  std::vector<CFileObjectEnumeratorProvider*> providers;
  providers.reserve(m_Providers.size());
  for (const auto& provider : m_Providers) providers.push_back(provider.get());
  auto manager = std::make_unique<CFileObjectEnumerationManager>();
  manager->Start(providers, url, pattern, flags, GetFileInfoDataBase(), GetFolderInfoDataBase(), owner,
                 m_FolderIcons);
  return manager.release();
}

bool CFileObjectEnumerationSystem::PostFolderRefresh(const char* url) {
  return PostNotice(GetWindowHandle(), kFolderRefreshMessage, 0,
                    reinterpret_cast<LPARAM>(CopyText(url).release()));
}

bool CFileObjectEnumerationSystem::PostFileInfoUpdate(const char* url, const char* displayText, INT iconIndex) {
  auto update = std::make_unique<InfoUpdate>();
  update->displayText = CopyText(displayText);
  update->iconIndex = iconIndex;
  return PostNotice(GetWindowHandle(), kFileInfoUpdateMessage, reinterpret_cast<WPARAM>(CopyText(url).release()),
                    reinterpret_cast<LPARAM>(update.release()));
}

bool CFileObjectEnumerationSystem::PostFolderInfoUpdate(const char* url, const char* displayText, INT iconIndex,
                                                        INT openIconIndex) {
  auto update = std::make_unique<InfoUpdate>();
  update->displayText = CopyText(displayText);
  update->iconIndex = iconIndex;
  update->openIconIndex = openIconIndex;
  return PostNotice(GetWindowHandle(), kFolderInfoUpdateMessage, reinterpret_cast<WPARAM>(CopyText(url).release()),
                    reinterpret_cast<LPARAM>(update.release()));
}

void CFileObjectEnumerationSystem::OnMessage(void* context, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = static_cast<CFileObjectEnumerationSystem*>(context);
  switch (message) {
    case kFolderRefreshMessage:
      if (lParam) self->OnFolderRefresh(reinterpret_cast<const char*>(lParam));
      break;
    case kFileInfoUpdateMessage:
      if (wParam && lParam)
        ApplyInfoUpdate(GetFileInfoDataBase(), reinterpret_cast<const char*>(wParam),
                        *reinterpret_cast<const InfoUpdate*>(lParam), false);
      break;
    case kFolderInfoUpdateMessage:
      if (wParam && lParam)
        ApplyInfoUpdate(GetFolderInfoDataBase(), reinterpret_cast<const char*>(wParam),
                        *reinterpret_cast<const InfoUpdate*>(lParam), true);
      break;
    default:
      return;
  }
  FreeNotice(message, wParam, lParam);
}

// The folder's cached listing is forgotten, so that the browser lists it
// anew.
void CFileObjectEnumerationSystem::OnFolderRefresh(const char* url) {
  CFolderInfoDataBase& folders = GetFolderInfoDataBase();
  {
    CriticalSectionLock lock(folders.GetLock());
    if (FolderInfoRecord* record = folders.Find(url)) {
      record->cacheFlags &= static_cast<BYTE>(~(FOLDERCACHE_FILES_COMPLETE | FOLDERCACHE_FOLDERS_COMPLETE));
      record->cachedFiles.clear();
      record->cachedFolders.clear();
    }
  }
  if (m_RefreshTarget) m_RefreshTarget->RefreshFolder(url);
}

void CFileObjectEnumerationSystem::FreeQueuedNotices() {
  const HWND window = GetWindowHandle();
  if (!window) return;
  MSG queued;
  while (PeekMessageA(&queued, window, kFolderRefreshMessage, kFolderInfoUpdateMessage, PM_REMOVE))
    FreeNotice(queued.message, queued.wParam, queued.lParam);
}

void CFileObjectEnumerationSystem::PassFilesToProviders(CFileObjectMenu& menu, INT fileCount,
                                                        const char* const* files, INT folderCount,
                                                        const char* const* folders) {
  for (const auto& provider : m_Providers) provider->AddMenuItems(menu, fileCount, files, folderCount, folders);
}

void CFileObjectEnumerationSystem::RegisterProxyTypes(CProxyDataBase& proxies) {
  for (const auto& provider : m_Providers) provider->RegisterProxyTypes(proxies);
}

bool CFileObjectEnumerationSystem::RestoreSurfaces() {
  LogHeader("CFileObjectEnumerationSystem.RestoreProviderSurfacesHeader",
            "**** restoring file object enumerator provider surfaces ****");
  bool restored = true;
  for (const auto& provider : m_Providers) {
    if (provider->RestoreSurfaces()) continue;
    LogFormat(kSurfaceErrorCategory, "%s\n", provider->GetName());
    restored = false;
  }
  return restored;
}

void CFileObjectEnumerationSystem::BeginSkinChange() {
  for (const auto& provider : m_Providers) provider->BeginSkinChange();
}

void CFileObjectEnumerationSystem::EndSkinChange() {
  for (const auto& provider : m_Providers) provider->EndSkinChange();
}

CFileObjectEnumerationSystem& GetFileObjectEnumerationSystem() {
  // Never destroyed: its providers may belong to plug-ins unloaded by then.
  static auto* system = new CFileObjectEnumerationSystem;
  return *system;
}
