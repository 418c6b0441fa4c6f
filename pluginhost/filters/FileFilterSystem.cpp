#include "pluginhost/filters/FileFilterSystem.h"

#include "foundation/appcore/LogFront.h"
#include "foundation/appcore/ThreadErrorLog.h"
#include "foundation/errors/LocalText.h"
#include "foundation/errors/ThreadErrorState.h"
#include "playback/playlist/PlayListFileFilter.h"
#include "pluginhost/filters/PlugInFileFilter.h"
#include "pluginhost/plugins/ObjectDiscovery.h"
#include "pluginhost/plugins/PlugInManager.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CFileFilterSystem, CTypedObject)

namespace {

constexpr DWORD kSurfaceErrorCategory = 0x400;

void LogHeader(const char* key, const char* defaultText) {
  LogFormat(LOG_CATEGORY_INFO, "%s\n", LocalText(key, defaultText).c_str());
}

}  // namespace

CFileFilterSystem::~CFileFilterSystem() { Exit(); }

void CFileFilterSystem::Init(CPlugInManager* plugIns) {
  Exit();
  LogHeader("CFileFilterSystem.InitializingFileFiltersHeader", "-------- initializing file filter(s) --------");
  AddFilter(new CPlayListFileFilter);
  if (plugIns)
    for (INT index = 0; index < plugIns->GetCount(); ++index) InitPlugIn(*plugIns, index);
  RebuildDescs();
}

void CFileFilterSystem::InitNewPlugIns(CPlugInManager& plugIns, INT first) {
  LogHeader("CFileFilterSystem.InitializingNewFileFiltersHeader",
            "-------- initializing new file filter(s) --------");
  for (INT index = first < 0 ? 0 : first; index < plugIns.GetCount(); ++index) InitPlugIn(plugIns, index);
  RebuildDescs();
}

void CFileFilterSystem::InitPlugIn(CPlugInManager& plugIns, INT index) {
  CPlugIn* plugIn = plugIns.GetPlugIn(index);
  if (!plugIn) return;
  DiscoverObjects<CPlugInFileFilter, CPlugInFileFilter2>(*plugIn, PLUGINOBJ_FILEFILTER,
                                                         [this](CFileFilter* filter) { AddFilter(filter); });
}

void CFileFilterSystem::Exit() {
  m_Filters.clear();
  m_Descs.clear();
}

void CFileFilterSystem::AddFilter(CFileFilter* filter) { m_Filters.emplace_back(filter); }

void CFileFilterSystem::RebuildDescs() {
  CFileFilterDescEnum collector;
  m_Descs.clear();
  for (const auto& filter : m_Filters) {
    if (filter->EnumFilterDescs(collector)) continue;
    LogThreadError(LOG_CATEGORY_ERROR,
                   LocalText("CFileFilterSystem.FileFilterEnumError", "error during file filter enumeration"));
  }
  m_Descs = collector.TakeAll();
}

CFileFilterDesc* CFileFilterSystem::GetDesc(INT index) const {
  return index >= 0 && index < GetDescCount() ? m_Descs[static_cast<size_t>(index)].get() : nullptr;
}

CFileFilter* CFileFilterSystem::GetFilter(INT index) const {
  return index >= 0 && index < GetFilterCount() ? m_Filters[static_cast<size_t>(index)].get() : nullptr;
}

bool CFileFilterSystem::FilterFiles(INT groupCount, CFileFilterDesc* const* group, INT nameCount,
                                    const char* const* names, DWORD* results) {
  CStr failures;
  std::vector<FILEFILTER_DESCRIPTION> values;
  for (const auto& filter : m_Filters) {
    void* handle = filter->GetHandle();
    values.clear();
    for (INT i = 0; i < groupCount; ++i)
      if (group[i] && group[i]->GetFilterHandle() == handle) values.push_back(group[i]->GetValue());
    if (values.empty()) continue;
    if (filter->FilterFiles(static_cast<int32_t>(values.size()), values.data(), nameCount, names, results)) continue;
    failures += GetThreadErrorText();
    failures += "\n";
  }
  if (failures.IsEmpty()) return true;
  SetThreadError(THREAD_ERROR_GENERAL, 0,
                 LocalText("CFileFilterSystem.FileFilterErrorPrefix", "Error during file filtering:") + "\n" +
                     failures);
  return false;
}

bool CFileFilterSystem::RestoreSurfaces() {
  LogHeader("CFileFilterSystem.RestoringFileFilterSurfaces", "**** restoring file filter surfaces ****");
  bool restored = true;
  for (const auto& filter : m_Filters) {
    if (filter->RestoreSurfaces()) continue;
    LogThreadError(kSurfaceErrorCategory, filter->GetName());
    restored = false;
  }
  return restored;
}

void CFileFilterSystem::BeginSkinChange() {
  for (const auto& filter : m_Filters) filter->BeginSkinChange();
}

void CFileFilterSystem::EndSkinChange() {
  for (const auto& filter : m_Filters) filter->EndSkinChange();
}

CFileFilterSystem& GetFileFilterSystem() {
  // Never destroyed: its filters may belong to plug-ins unloaded by then.
  static auto* system = new CFileFilterSystem;
  return *system;
}
