#include "playback/visualizer/VisualizerSystem.h"

#include <strings.h>

#include <optional>

#include "foundation/appcore/LogFront.h"
#include "foundation/appcore/RegistryValues.h"
#include "foundation/appcore/SettingsKey.h"
#include "foundation/appcore/ThreadErrorLog.h"
#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Placeholder.h"
#include "playback/visualizer/Visualizer.h"
#include "pluginhost/plugins/PlugInManager.h"
#include "pluginhost/viewer/ViewerWindowSystem.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CVisualizerSystem, CTypedObject)

namespace {

constexpr const char* kCurrentVisualizerValue = "CurrentVisualizer";
constexpr DWORD kErrorCategory = 0x100;
constexpr DWORD kSurfaceErrorCategory = 0x400;
constexpr DWORD kMode = CViewerWindowSystem::kVisualizerMode;

CViewerWindowSystem g_NoViewer;
CVisualizerDiscovery g_NoDiscovery;

}  // namespace

// The prepared current visualizer, taken under the lock for one call made
// outside it; Exit does not delete visualizers while any is held.
class CVisualizerSystem::HeldVisualizer {
 public:
  // `paused`, when given, becomes the playback's pause state first.
  HeldVisualizer(CVisualizerSystem& system, std::optional<bool> paused) : m_System(system) {
    CriticalSectionLock lock(system.m_Lock);
    if (paused) system.m_Paused = *paused;
    if (!system.m_Prepared || !system.m_Current) return;
    m_Visualizer = system.m_Current;
    ++system.m_CallsInProgress;
  }
  ~HeldVisualizer() {
    if (!m_Visualizer) return;
    CriticalSectionLock lock(m_System.m_Lock);
    --m_System.m_CallsInProgress;
  }
  HeldVisualizer(const HeldVisualizer&) = delete;
  HeldVisualizer& operator=(const HeldVisualizer&) = delete;

  // The visualizer while the viewer shows it, else null.
  CVisualizer* Shown() const { return m_Visualizer && m_System.IsShown(m_Visualizer) ? m_Visualizer : nullptr; }

 private:
  CVisualizerSystem& m_System;
  CVisualizer* m_Visualizer = nullptr;
};

CVisualizerSystem::CVisualizerSystem() : m_Viewer(&g_NoViewer), m_Discovery(&g_NoDiscovery) {}

CVisualizerSystem::~CVisualizerSystem() { DeleteVisualizers(); }

void CVisualizerSystem::SetViewer(CViewerWindowSystem* viewer) { m_Viewer = viewer ? viewer : &g_NoViewer; }

void CVisualizerSystem::SetDiscovery(CVisualizerDiscovery* discovery) {
  m_Discovery = discovery ? discovery : &g_NoDiscovery;
}

// --- Lifecycle

void CVisualizerSystem::LoadOptions() {
  CStr key;
  HKEY settings = nullptr;
  if (OpenSettingsKey(KEY_QUERY_VALUE, &settings)) {
    GetRegistryString(settings, kCurrentVisualizerValue, key);
    RegCloseKey(settings);
  }
  CriticalSectionLock lock(m_Lock);
  m_CurrentKey = key;
}

void CVisualizerSystem::Init(CPlugInManager* plugIns) {
  {
    CriticalSectionLock lock(m_Lock);
    m_Playing = false;
    m_Paused = false;
  }
  LogFormat(LOG_CATEGORY_INFO, "%s\n",
            LocalText("CVisualizerSystem.InitializingVisualizersHeader", "-------- initializing visualizers --------")
                .c_str());
  if (plugIns)
    for (INT index = 0; index < plugIns->GetCount(); ++index) LoadVisualizers(*plugIns, index);

  const CStr key = GetCurrentKey();
  if (!key.IsEmpty()) {
    const INT count = GetVisualizerCount();
    INT found = 0;
    while (found < count && strcasecmp(GetVisualizer(found)->GetKey(), key) != 0) ++found;
    if (found < count) {
      MakeCurrent(found);
      return;
    }
    LogFormat(LOG_CATEGORY_INFO, "%s\n",
              ReplacePlaceholder(LocalText("CVisualizerSystem.SelectedVisNotFound",
                                           "Unable to find selected visualizer '%VIS%'"),
                                 {"%VIS%", key})
                  .c_str());
    CriticalSectionLock lock(m_Lock);
    m_CurrentKey = CStr();
  }
  if (GetVisualizerCount() == 0) return;
  MakeCurrent(0);
  {
    const CStr firstKey = GetVisualizer(0)->GetKey();
    CriticalSectionLock lock(m_Lock);
    m_CurrentKey = firstKey;
  }
  SaveCurrentVisualizer();
}

void CVisualizerSystem::InitNewVisualizers(CPlugInManager& plugIns, INT first) {
  LogFormat(LOG_CATEGORY_INFO, "%s\n",
            LocalText("CVisualizerSystem.InitializingNewVisualizersHeader",
                      "-------- initializing new visualizer(s) --------")
                .c_str());
  for (INT index = first < 0 ? 0 : first; index < plugIns.GetCount(); ++index) LoadVisualizers(plugIns, index);
}

void CVisualizerSystem::LoadVisualizers(CPlugInManager& plugIns, INT index) {
  CPlugIn* plugIn = plugIns.GetPlugIn(index);
  if (!plugIn) return;
  std::vector<CVisualizer*> found;
  m_Discovery->DiscoverVisualizers(*plugIn, found);
  for (CVisualizer* visualizer : found) AddVisualizer(visualizer);
}

void CVisualizerSystem::Exit() {
  SetCurrentVisualizer(-1, false);
  // A player's thread may still be inside a call on the old visualizer.
  for (;;) {
    {
      CriticalSectionLock lock(m_Lock);
      if (m_CallsInProgress == 0) break;
    }
    Sleep(1);
  }
  DeleteVisualizers();
}

void CVisualizerSystem::DeleteVisualizers() {
  std::vector<CVisualizer*> visualizers;
  {
    CriticalSectionLock lock(m_Lock);
    visualizers.swap(m_Visualizers);
    m_CurrentIndex = -1;
    m_Current = nullptr;
    m_Prepared = false;
  }
  for (auto visualizer = visualizers.rbegin(); visualizer != visualizers.rend(); ++visualizer) delete *visualizer;
}

void CVisualizerSystem::AddVisualizer(CVisualizer* visualizer) {
  if (!visualizer) return;
  CriticalSectionLock lock(m_Lock);
  m_Visualizers.push_back(visualizer);
}

// --- The current visualizer

INT CVisualizerSystem::GetVisualizerCount() {
  CriticalSectionLock lock(m_Lock);
  return static_cast<INT>(m_Visualizers.size());
}

CVisualizer* CVisualizerSystem::GetVisualizer(INT index) {
  CriticalSectionLock lock(m_Lock);
  if (index < 0 || index >= static_cast<INT>(m_Visualizers.size())) return nullptr;
  return m_Visualizers[static_cast<size_t>(index)];
}

INT CVisualizerSystem::GetCurrentVisualizerIndex() {
  CriticalSectionLock lock(m_Lock);
  return m_CurrentIndex;
}

CVisualizer* CVisualizerSystem::GetCurrentVisualizer() {
  CriticalSectionLock lock(m_Lock);
  return m_Current;
}

CStr CVisualizerSystem::GetCurrentKey() {
  CriticalSectionLock lock(m_Lock);
  return m_CurrentKey;
}

void CVisualizerSystem::MakeCurrent(INT index) {
  CVisualizer* visualizer = GetVisualizer(index);
  {
    CriticalSectionLock lock(m_Lock);
    m_CurrentIndex = index;
    m_Current = visualizer;
  }
  m_Viewer->SetUser(kMode, visualizer);
}

void CVisualizerSystem::SetCurrentVisualizer(INT index, bool save) {
  CVisualizer* old = nullptr;
  CVisualizer* chosen = nullptr;
  bool wasPrepared = false;
  bool playing = false;
  bool paused = false;
  {
    CriticalSectionLock lock(m_Lock);
    if (index < 0 || index >= static_cast<INT>(m_Visualizers.size())) index = -1;
    old = m_Current;
    wasPrepared = m_Prepared;
    m_CurrentIndex = index;
    m_Prepared = false;
    chosen = index < 0 ? nullptr : m_Visualizers[static_cast<size_t>(index)];
    playing = m_Playing;
    paused = m_Paused;
    m_Current = nullptr;
  }
  if (old && wasPrepared) Unprepare(old);
  m_Viewer->DisableUser(kMode);
  m_Viewer->SetUser(kMode, chosen);
  {
    const CStr key = chosen ? CStr(chosen->GetKey()) : CStr();
    CriticalSectionLock lock(m_Lock);
    m_Current = chosen;
    m_CurrentKey = key;
  }
  if (playing) {
    m_Viewer->EnableUser(kMode);
    if (chosen) PrepareShown(chosen, paused);
  }
  if (save) SaveCurrentVisualizer();
}

void CVisualizerSystem::SaveCurrentVisualizer() {
  HKEY settings = nullptr;
  if (!OpenSettingsKey(KEY_SET_VALUE, &settings)) return;
  SetRegistryString(settings, kCurrentVisualizerValue, GetCurrentKey());
  RegCloseKey(settings);
}

bool CVisualizerSystem::IsShown(CVisualizer* visualizer) {
  return visualizer && m_Viewer->GetCurrentUser() == visualizer;
}

void CVisualizerSystem::PrepareShown(CVisualizer* visualizer, bool paused) {
  if (!IsShown(visualizer)) return;
  if (!visualizer->Prepare()) {
    m_Viewer->EnableUser(kMode);
    LogThreadError(kErrorCategory,
                   LocalText("CVisualizerSystem.ErrorPreparingVisualizer", "Error preparing visualizer"));
    return;
  }
  {
    CriticalSectionLock lock(m_Lock);
    if (m_Current == visualizer) m_Prepared = true;
  }
  if (paused && !visualizer->Pause()) LogThreadError(kErrorCategory, visualizer->GetName());
}

void CVisualizerSystem::Unprepare(CVisualizer* visualizer) {
  if (visualizer->Unprepare()) return;
  LogThreadError(kErrorCategory,
                 LocalText("CVisualizerSystem.ErrorUnpreparingVisualizer", "Error unpreparing visualizer"));
}

// --- Around the display

bool CVisualizerSystem::RestoreSurfaces() {
  LogFormat(LOG_CATEGORY_INFO, "%s\n",
            LocalText("CVisualizerSystem.RestoringVisualizerSurfacesHeader", "**** restoring visualizer surfaces ****")
                .c_str());
  bool restored = true;
  for (INT index = 0; index < GetVisualizerCount(); ++index) {
    CVisualizer* visualizer = GetVisualizer(index);
    if (visualizer->RestoreSurfaces()) continue;
    LogThreadError(kSurfaceErrorCategory, visualizer->GetName());
    restored = false;
  }
  return restored;
}

void CVisualizerSystem::BeginSkinChange() {
  for (INT index = 0; index < GetVisualizerCount(); ++index) GetVisualizer(index)->BeginSkinChange();
}

void CVisualizerSystem::EndSkinChange() {
  for (INT index = 0; index < GetVisualizerCount(); ++index) GetVisualizer(index)->EndSkinChange();
}

void CVisualizerSystem::SetVisualizerVisible(bool visible) {
  CVisualizer* current = nullptr;
  bool wasPrepared = false;
  bool playing = false;
  bool paused = false;
  {
    CriticalSectionLock lock(m_Lock);
    current = m_Current;
    wasPrepared = m_Prepared;
    playing = m_Playing;
    paused = m_Paused;
    if (!visible) m_Prepared = false;
  }
  if (!visible) {
    if (current && wasPrepared) Unprepare(current);
    m_Viewer->DisableUser(kMode);
    return;
  }
  if (!playing) return;
  m_Viewer->EnableUser(kMode);
  if (current && !wasPrepared) PrepareShown(current, paused);
}

// --- Playback reports

void CVisualizerSystem::StartPlayback() {
  CVisualizer* current = nullptr;
  bool prepared = false;
  {
    CriticalSectionLock lock(m_Lock);
    m_Playing = true;
    current = m_Current;
    prepared = m_Prepared;
  }
  if (!current || prepared || !IsShown(current)) return;
  m_Viewer->EnableUser(kMode);
  PrepareShown(current, false);
}

void CVisualizerSystem::EndPlayback() {
  CVisualizer* current = nullptr;
  bool wasPrepared = false;
  {
    CriticalSectionLock lock(m_Lock);
    current = m_Current;
    wasPrepared = m_Prepared;
    m_Prepared = false;
    m_Playing = false;
    m_Paused = false;
  }
  if (current && wasPrepared && IsShown(current)) Unprepare(current);
  m_Viewer->DisableUser(kMode);
}

void CVisualizerSystem::PauseVisualizer() {
  HeldVisualizer held(*this, true);
  if (CVisualizer* visualizer = held.Shown(); visualizer && !visualizer->Pause())
    LogThreadError(kErrorCategory, visualizer->GetName());
}

void CVisualizerSystem::ResumeVisualizer() {
  HeldVisualizer held(*this, false);
  if (CVisualizer* visualizer = held.Shown(); visualizer && !visualizer->Resume())
    LogThreadError(kErrorCategory, visualizer->GetName());
}

void CVisualizerSystem::StopVisualizer() {
  HeldVisualizer held(*this, false);
  if (CVisualizer* visualizer = held.Shown(); visualizer && !visualizer->Stop())
    LogThreadError(kErrorCategory, visualizer->GetName());
}

int CVisualizerSystem::FeedVisualizer(const void* samples, DWORD bytes, DWORD playTime, DWORD frequency,
                                      DWORD bitsPerSample, DWORD channels) {
  HeldVisualizer held(*this, std::nullopt);
  CVisualizer* visualizer = held.Shown();
  return visualizer ? visualizer->Feed(samples, bytes, playTime, frequency, bitsPerSample, channels) : 0;
}

CVisualizerSystem& GetVisualizerSystem() {
  static auto* system = new CVisualizerSystem;
  return *system;
}
