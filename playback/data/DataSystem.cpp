#include "playback/data/DataSystem.h"

#include <cstring>
#include <new>

#include "foundation/appcore/LogFront.h"
#include "foundation/appcore/RegistryValues.h"
#include "foundation/appcore/SettingsKey.h"
#include "foundation/appcore/ThreadErrorLog.h"
#include "foundation/errors/LocalText.h"
#include "foundation/errors/ThreadErrorState.h"
#include "foundation/filesystem/FileSystem.h"
#include "foundation/kernel/Error.h"
#include "foundation/streams/MemoryStream.h"
#include "foundation/streams/StreamError.h"
#include "pluginhost/plugins/PlugInManager.h"
#include "pluginhost/plugins/ObjectDiscovery.h"
#include "pluginhost/streams/PlugInStreamProvider.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CDataSystem, CTypedObject)

namespace {

constexpr const char* kTimeoutValue = "DefaultConnectionTimeout";
constexpr const char* kProxyDataValue = "ProxyData";
constexpr DWORD kRestoreFailedCategory = 0x400;

// The settings key, closed at the end of the scope.
class SettingsKeyHolder {
 public:
  SettingsKeyHolder() = default;
  SettingsKeyHolder(const SettingsKeyHolder&) = delete;
  SettingsKeyHolder& operator=(const SettingsKeyHolder&) = delete;
  ~SettingsKeyHolder() {
    if (m_Key) RegCloseKey(m_Key);
  }
  bool Open(REGSAM access) { return OpenSettingsKey(access, &m_Key); }
  HKEY Get() const { return m_Key; }

 private:
  HKEY m_Key = nullptr;
};

void LogHeader(const char* key, const char* text) {
  LogFormat(LOG_CATEGORY_INFO, "%s\n", LocalText(key, text).c_str());
}

// Lets the file system forget the provider without deleting it.
void RemoveFromFileSystem(CPlugInStreamProviderBase* provider) {
  CFileSystem& fileSystem = GetFileSystem();
  for (INT index = 0; index < fileSystem.GetProviderCount(); ++index) {
    if (fileSystem.GetProvider(index) != provider) continue;
    fileSystem.RemoveProvider(index, false);
    return;
  }
}

}  // namespace

// The file system is built first, so it outlives the data system, whose
// end still takes providers out of it.
CDataSystem::CDataSystem() { GetFileSystem(); }

CDataSystem::~CDataSystem() {
  for (CPlugInStreamProviderBase* provider : m_Providers) {
    RemoveFromFileSystem(provider);
    delete provider;
  }
}

void CDataSystem::LoadOptions() {
  DWORD timeout = kDefaultConnectionTimeout;
  SettingsKeyHolder key;
  DWORD stored = 0;
  if (key.Open(KEY_QUERY_VALUE) && GetRegistryDWord(key.Get(), kTimeoutValue, &stored)) timeout = stored;
  CriticalSectionLock lock(m_TimeoutLock);
  m_DefaultConnectionTimeout = timeout;
}

void CDataSystem::Init(CPlugInManager& plugIns) {
  Exit();
  LogHeader("CDataSystem.InitializingStreamProviderHeader", "-------- initializing stream provider --------");
  for (INT index = 0; index < plugIns.GetCount(); ++index) InitStreamProviders(plugIns, index);
}

void CDataSystem::InitNewStreamProviders(CPlugInManager& plugIns, INT firstPlugIn) {
  LogHeader("CDataSystem.InitializingNewStreamProviderHeader", "-------- initializing new stream provider --------");
  for (INT index = firstPlugIn < 0 ? 0 : firstPlugIn; index < plugIns.GetCount(); ++index)
    InitStreamProviders(plugIns, index);
}

void CDataSystem::InitStreamProviders(CPlugInManager& plugIns, INT plugIn) {
  CPlugIn* loaded = plugIns.GetPlugIn(plugIn);
  if (!loaded) return;
  DiscoverObjects<CPlugInStreamProvider, CPlugInStreamProvider2>(
      *loaded, PLUGINOBJ_STREAMPROVIDER, [this](CPlugInStreamProviderBase* provider) { AddStreamProvider(provider); });
}

void CDataSystem::AddStreamProvider(CPlugInStreamProviderBase* provider) {
  if (!provider) return;
  m_Providers.push_back(provider);
  GetFileSystem().AddProvider(provider);
}

void CDataSystem::Exit() {
  for (CMultiSessionStreamController& slot : m_Slots) slot.Close(false);
  for (CPlugInStreamProviderBase* provider : m_Providers) {
    RemoveFromFileSystem(provider);
    provider->Exit();
  }
  for (CPlugInStreamProviderBase* provider : m_Providers) delete provider;
  m_Providers.clear();
}

bool CDataSystem::RestoreStreamProviderSurfaces() {
  LogHeader("CDataSystem.RestoreStreamProviderSurfacesHeader", "**** restoring stream provider surfaces ****");
  bool restored = true;
  for (CPlugInStreamProviderBase* provider : m_Providers) {
    if (provider->RestoreSurfaces()) continue;
    LogThreadError(kRestoreFailedCategory, provider->GetName());
    restored = false;
  }
  return restored;
}

CMultiSessionStreamController* CDataSystem::Slot(DWORD slot) {
  return slot < kDataSessionSlotCount ? &m_Slots[slot] : nullptr;
}

void CDataSystem::SetSessionUrl(DWORD slot, const char* url) {
  if (CMultiSessionStreamController* controller = Slot(slot)) controller->SetUrl(url);
}

void CDataSystem::CloseSession(DWORD slot, bool hard) {
  if (CMultiSessionStreamController* controller = Slot(slot)) controller->Close(hard);
}

bool CDataSystem::IsSessionOn(DWORD slot, const char* url) {
  CMultiSessionStreamController* controller = Slot(slot);
  return controller && controller->IsOn(url);
}

void CDataSystem::AbortSession(DWORD slot) {
  if (CMultiSessionStreamController* controller = Slot(slot)) controller->Abort();
}

void CDataSystem::DetachSession(DWORD slot) {
  if (CMultiSessionStreamController* controller = Slot(slot)) controller->Detach();
}

ULONGLONG CDataSystem::GetSessionProgress(DWORD slot) {
  CMultiSessionStreamController* controller = Slot(slot);
  return controller ? controller->GetProgress() : CMultiSessionStreamController::kNoSession;
}

void CDataSystem::SetSessionOwner(DWORD slot, PLUGIN_HANDLE owner) {
  if (slot >= kDataSessionSlotCount) return;
  CriticalSectionLock lock(m_OwnerLock);
  m_Owners[slot] = owner;
}

CStream* CDataSystem::OpenStream(const char* url, DWORD flags, DWORD forbidden, PLUGIN_HANDLE caller) {
  CMultiSessionStreamController* owned = nullptr;
  if (caller) {
    CriticalSectionLock lock(m_OwnerLock);
    for (DWORD slot = 0; slot < kDataSessionSlotCount && !owned; ++slot)
      if (m_Owners[slot] == caller) owned = &m_Slots[slot];
  }
  if (!url) ThrowError<CStreamError>(CStreamError::kInvalidParam);
  return owned ? owned->Open(url, flags, forbidden) : GetFileSystem().Open(url, flags, forbidden);
}

void CDataSystem::ReleaseSessionsOnUrl(const char* url) {
  CriticalSectionLock lock(m_OwnerLock);
  for (CMultiSessionStreamController& slot : m_Slots)
    if (slot.IsOn(url)) slot.Close(true);
}

void CDataSystem::InitProxyDataBase(const ProxyTypeRegistrar& others) {
  CriticalSectionLock lock(m_ProxyDataBase.GetLock());
  m_ProxyDataBase.Clear();
  for (CPlugInStreamProviderBase* provider : m_Providers) provider->RegisterProxyTypes(m_ProxyDataBase);
  if (others) others(m_ProxyDataBase);
  LoadProxyData();
}

void CDataSystem::LoadProxyData() {
  SettingsKeyHolder key;
  if (!key.Open(KEY_QUERY_VALUE)) {
    // Nothing was ever stored for this user.
    if (GetThreadErrorState()->code == ERROR_FILE_NOT_FOUND) return;
    RaiseThreadError();
  }
  std::vector<BYTE> bytes;
  bool found = false;
  if (!GetRegistryBinaryAlloc(key.Get(), kProxyDataValue, bytes, found)) RaiseThreadError();
  if (!found) return;
  BYTE* block = bytes.empty() ? nullptr : new (std::nothrow) BYTE[bytes.size()];
  if (!bytes.empty() && !block) ThrowMemoryError();
  if (block) std::memcpy(block, bytes.data(), bytes.size());
  CMemoryStream stream;
  stream.Open(block, static_cast<DWORD>(bytes.size()), kStreamRead | kStreamSeek, 0, false);
  m_ProxyDataBase.Load(stream);
}

void CDataSystem::SaveProxyData() {
  CMemoryStream stream;
  stream.Open(nullptr, 0, kStreamRead | kStreamWrite | kStreamSeek, 65536, false);
  m_ProxyDataBase.Save(stream);
  SettingsKeyHolder key;
  if (!key.Open(KEY_SET_VALUE)) RaiseThreadError();
  const auto size = static_cast<DWORD>(stream.GetLength(true, nullptr));
  if (!SetRegistryBinary(key.Get(), kProxyDataValue, stream.GetBuffer(), size)) RaiseThreadError();
}

DWORD CDataSystem::GetDefaultConnectionTimeout() {
  CriticalSectionLock lock(m_TimeoutLock);
  return m_DefaultConnectionTimeout;
}

bool CDataSystem::SetDefaultConnectionTimeout(DWORD milliseconds) {
  {
    CriticalSectionLock lock(m_TimeoutLock);
    m_DefaultConnectionTimeout = milliseconds;
  }
  SettingsKeyHolder key;
  return key.Open(KEY_SET_VALUE) && SetRegistryDWord(key.Get(), kTimeoutValue, milliseconds);
}

CDataSystem& GetDataSystem() {
  static CDataSystem system;
  return system;
}
