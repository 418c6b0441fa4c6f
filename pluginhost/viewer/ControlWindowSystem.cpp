// The viewer window system's settings, its start and end, and its
// providers.
#include "pluginhost/viewer/ControlWindowSystem.h"

#include <strings.h>

#include "display/state/DisplayLock.h"
#include "foundation/appcore/LogFront.h"
#include "foundation/appcore/RegistryValues.h"
#include "foundation/appcore/SettingsKey.h"
#include "foundation/appcore/ThreadErrorLog.h"
#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Placeholder.h"
#include "pluginhost/plugins/ObjectDiscovery.h"
#include "pluginhost/plugins/PlugInManager.h"
#include "pluginhost/viewer/ControlWindowHost.h"
#include "pluginhost/viewer/PlugInControlWindowProvider.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CControlWindowSystem, CTypedObject)

namespace {

constexpr DWORD kErrorCategory = 0x100;

constexpr const char* kPlayerDisplayModeValue = "PlayerDisplayMode";
constexpr const char* kVisualizerDisplayModeValue = "VisualizerDisplayMode";
constexpr const char* kPlayerModeOverrideValue = "PlayerModeOverride";
constexpr const char* kMiniPlayerModeOverrideValue = "MiniPlayerModeOverride";
constexpr const char* kControlWindowModeValue = "ControlWindowMode";
constexpr const char* kMiniControlWindowModeValue = "MiniControlWindowMode";
constexpr const char* kProviderValue = "CurrentControlWindowProvider";

CFullScreen g_NoFullScreen;

// A stored DWORD, or `fallback` when the value is missing or not a DWORD.
DWORD ReadDWord(HKEY key, const char* name, DWORD fallback) {
  DWORD value = 0;
  return GetRegistryDWord(key, name, &value) ? value : fallback;
}

int ReadMode(HKEY key, const char* name, int fallback) {
  const DWORD value = ReadDWord(key, name, static_cast<DWORD>(fallback));
  return value <= 1 ? static_cast<int>(value) : CControlWindowSystem::kModeVisualizers;
}

// A mode as it may be stored: never the suspended one.
DWORD StorableMode(int mode) { return mode == 0 || mode == 1 ? static_cast<DWORD>(mode) : 2; }

void LogHeader(const char* key, const char* text) {
  LogFormat(LOG_CATEGORY_INFO, "%s\n", LocalText(key, text).c_str());
}

}  // namespace

CControlWindowSystem::CControlWindowSystem() : m_FullScreen(&g_NoFullScreen) {}

CControlWindowSystem::~CControlWindowSystem() {
  FreeQueuedRequests();
  DeleteProviders();
}

void CControlWindowSystem::SetFullScreenManager(CFullScreen* manager) {
  m_FullScreen = manager ? manager : &g_NoFullScreen;
}

// --- Settings

void CControlWindowSystem::LoadSettings() {
  int playerDisplayMode = 0;
  int visualizerDisplayMode = 0;
  bool normalOverride = true;
  bool miniOverride = true;
  int normalMode = kModeVisualizers;
  int miniMode = kModeOff;
  CStr providerKey;
  HKEY settings = nullptr;
  if (OpenSettingsKey(KEY_QUERY_VALUE, &settings)) {
    playerDisplayMode = ReadDWord(settings, kPlayerDisplayModeValue, 0) == 1 ? 1 : 0;
    visualizerDisplayMode = ReadDWord(settings, kVisualizerDisplayModeValue, 0) == 1 ? 1 : 0;
    normalOverride = ReadDWord(settings, kPlayerModeOverrideValue, 1) != 0;
    miniOverride = ReadDWord(settings, kMiniPlayerModeOverrideValue, 1) != 0;
    normalMode = ReadMode(settings, kControlWindowModeValue, kModeVisualizers);
    miniMode = ReadMode(settings, kMiniControlWindowModeValue, kModeOff);
    GetRegistryString(settings, kProviderValue, providerKey);
    RegCloseKey(settings);
  }
  int kind = 0;
  {
    DisplayLockScope display;
    kind = GetControlWindowHost().GetMainWindowKind();
  }
  int mode = 0;
  {
    CriticalSectionLock lock(m_StateLock);
    m_PlayerDisplayMode = playerDisplayMode;
    m_VisualizerDisplayMode = visualizerDisplayMode;
    m_NormalOverride = normalOverride;
    m_MiniOverride = miniOverride;
    m_NormalMode = normalMode;
    m_MiniMode = miniMode;
    m_ProviderKey = providerKey;
    m_MainWindowKind = kind;
    m_Mode = mode = IsMiniKind(kind) ? miniMode : normalMode;
    m_PlayerOverride = IsMiniKind(kind) ? miniOverride : normalOverride;
    m_SettingsLoaded = true;
  }
  m_Controller.SetKind(KindOfMode(mode));
}

void CControlWindowSystem::SaveSettings() {
  {
    CriticalSectionLock lock(m_StateLock);
    if (!m_SettingsLoaded) return;
  }
  StoreModesOfCurrentKind();
  HKEY settings = nullptr;
  if (!OpenSettingsKey(KEY_SET_VALUE, &settings)) return;
  DWORD values[6] = {};
  {
    CriticalSectionLock lock(m_StateLock);
    values[0] = m_PlayerDisplayMode == 1 ? 1 : 0;
    values[1] = m_VisualizerDisplayMode == 1 ? 1 : 0;
    values[2] = m_NormalOverride ? 1 : 0;
    values[3] = m_MiniOverride ? 1 : 0;
    values[4] = StorableMode(m_NormalMode);
    values[5] = StorableMode(m_MiniMode);
  }
  const char* const names[6] = {kPlayerDisplayModeValue,  kVisualizerDisplayModeValue,  kPlayerModeOverrideValue,
                                kMiniPlayerModeOverrideValue, kControlWindowModeValue, kMiniControlWindowModeValue};
  for (int index = 0; index < 6; ++index) SetRegistryDWord(settings, names[index], values[index]);
  RegCloseKey(settings);
}

// --- Life cycle

void CControlWindowSystem::Init(CPlugInManager* plugIns) {
  m_Controller.Init();
  m_MessageWindow.Create(&CControlWindowSystem::OnMessage, this);
  LogHeader("CControlWindowSystem.InitFullscreenHeader", "-------- initializing full-screen support --------");
  m_FullScreen->Init();
  LogHeader("CControlWindowSystem.InitViewerProviderHeader", "-------- initializing viewer window provider --------");
  if (plugIns) {
    for (INT index = 0; index < plugIns->GetCount(); ++index) {
      if (CPlugIn* plugIn = plugIns->GetPlugIn(index)) InitProvidersOf(*plugIn);
    }
  }
  ChooseProvider();
}

// The provider whose key was stored, else the first; the choice is written
// back when it differs from what was stored.
void CControlWindowSystem::ChooseProvider() {
  CStr storedKey;
  {
    CriticalSectionLock lock(m_StateLock);
    storedKey = m_ProviderKey;
  }
  INT chosen = -1;
  for (size_t index = 0; index < m_Providers.size(); ++index) {
    if (strcasecmp(m_Providers[index]->GetKey(), storedKey.c_str()) == 0) {
      chosen = static_cast<INT>(index);
      break;
    }
  }
  bool save = chosen < 0;
  if (chosen < 0 && !storedKey.IsEmpty()) {
    const CStr text = LocalText("CControlWindowSystem.CurrProviderNotFound",
                                "Unable to find selected viewer window provider '%NAME%'.");
    LogFormat(LOG_CATEGORY_INFO, "%s\n", ReplacePlaceholder(text, {"%NAME%", storedKey}).c_str());
  }
  if (chosen < 0 && !m_Providers.empty()) chosen = 0;
  CControlWindowProvider* provider = chosen < 0 ? nullptr : m_Providers[static_cast<size_t>(chosen)];
  if (provider && !provider->Prepare()) {
    LogThreadError(kErrorCategory,
                   LocalText("CControlWindowSystem.ProviderPrepareFailed", "Error preparing viewer window provider:"));
    provider = nullptr;
  }
  int mode = 0;
  {
    CriticalSectionLock lock(m_StateLock);
    m_ProviderKey = chosen < 0 ? CStr() : CStr(m_Providers[static_cast<size_t>(chosen)]->GetKey());
    m_Provider = provider;
    m_ProviderIndex = provider ? chosen : -1;
    for (auto& user : m_Users) user = nullptr;
    mode = m_Mode;
  }
  m_Controller.SetProvider(provider);
  m_Controller.SetKind(KindOfMode(mode));
  if (save) WriteProviderKey();
}

void CControlWindowSystem::WriteProviderKey() {
  HKEY settings = nullptr;
  if (!OpenSettingsKey(KEY_SET_VALUE, &settings)) return;
  SetRegistryString(settings, kProviderValue, GetProviderKey().c_str());
  RegCloseKey(settings);
}

void CControlWindowSystem::InitProvidersOf(CPlugIn& plugIn) {
  DiscoverObjects<CPlugInControlWindowProvider, CPlugInControlWindowProvider2>(
      plugIn, PLUGINOBJ_CONTROLWINDOWPROVIDER,
      [this](CControlWindowProvider* provider) { m_Providers.push_back(provider); });
}

void CControlWindowSystem::InitNewPlugIns(CPlugInManager& plugIns, INT first) {
  LogHeader("CControlWindowSystem.InitNewControlWindowProviderHeader",
            "-------- initializing new viewer window provider(s) --------");
  for (INT index = first < 0 ? 0 : first; index < plugIns.GetCount(); ++index) {
    if (CPlugIn* plugIn = plugIns.GetPlugIn(index)) InitProvidersOf(*plugIn);
  }
}

void CControlWindowSystem::Exit() {
  DisableUser(kModePlayers);
  DisableUser(kModeVisualizers);
  CControlWindowProvider* provider = nullptr;
  {
    CriticalSectionLock lock(m_StateLock);
    provider = m_Provider;
    m_Provider = nullptr;
    m_ProviderIndex = -1;
  }
  if (provider) provider->Unprepare();
  m_Controller.SetProvider(nullptr);
  SaveSettings();
  m_Controller.ReleaseSurfaces();
  DeleteProviders();
  m_FullScreen->Exit();
  {
    CriticalSectionLock lock(m_StateLock);
    m_SuspendedMode = -1;
    m_TakenOverMode = -1;
  }
  FreeQueuedRequests();
  // A minimise still waiting for its message would keep the display lock
  // for good once the message window is gone.
  if (m_HoldsDisplayForMinimize) {
    m_HoldsDisplayForMinimize = false;
    m_FullScreenSwitch = 0;
    CDisplayLock::Leave();
  }
  m_MessageWindow.Destroy();
}

void CControlWindowSystem::DeleteProviders() {
  std::vector<CControlWindowProvider*> providers;
  providers.swap(m_Providers);
  for (CControlWindowProvider* provider : providers) delete provider;
}

void CControlWindowSystem::SelectProvider(INT index) {
  const int remembered = GetMode();
  SwitchMode(kModeOff, true, true);
  CControlWindowProvider* provider =
      index >= 0 && index < static_cast<INT>(m_Providers.size()) ? m_Providers[static_cast<size_t>(index)] : nullptr;
  {
    CriticalSectionLock lock(m_StateLock);
    m_Provider = provider;
    m_ProviderIndex = provider ? index : -1;
    m_ProviderKey = provider ? CStr(provider->GetKey()) : CStr();
  }
  m_Controller.SetProvider(provider);
  SwitchMode(remembered, true, true);
  WriteProviderKey();
}

INT CControlWindowSystem::GetProviderCount() { return static_cast<INT>(m_Providers.size()); }

CControlWindowProvider* CControlWindowSystem::GetProvider(INT index) {
  return index >= 0 && index < GetProviderCount() ? m_Providers[static_cast<size_t>(index)] : nullptr;
}

INT CControlWindowSystem::GetCurrentProviderIndex() {
  CriticalSectionLock lock(m_StateLock);
  return m_ProviderIndex;
}

CControlWindowProvider* CControlWindowSystem::GetCurrentProvider() {
  CriticalSectionLock lock(m_StateLock);
  return m_Provider;
}

CStr CControlWindowSystem::GetProviderKey() {
  CriticalSectionLock lock(m_StateLock);
  return m_ProviderKey;
}

CControlWindowSystem& GetControlWindowSystem() {
  static CControlWindowSystem* system = new CControlWindowSystem;
  return *system;
}
