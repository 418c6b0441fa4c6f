#include "pluginhost/plugins/PlugInRegistry.h"

#include <algorithm>
#include <iterator>

#include "foundation/kernel/ClassManager.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CPlugInRegistry, CTypedObject)

namespace {

// In the order of the registry kinds. Looked up by name, so that the
// registry needs none of the kinds' own code.
constexpr const char* kKindBaseClasses[] = {
    "CPlayer",         "CVisualizer", "CControlWindowProvider",        "CStreamProvider",
    "CFileIdentifier", "CFileFilter", "CFileObjectEnumeratorProvider",
};

}  // namespace

INT CPlugInRegistry::KindOf(const CClassRecord* classRecord) {
  if (!classRecord) return PLUGIN_REGISTRY_UNKNOWN;
  for (size_t kind = 0; kind < std::size(kKindBaseClasses); ++kind) {
    const CClassRecord* base = GetClassManager().FindClass(kKindBaseClasses[kind]);
    if (base && classRecord->IsDerivedFrom(base)) return static_cast<INT>(kind);
  }
  return PLUGIN_REGISTRY_UNKNOWN;
}

void CPlugInRegistry::Register(PLUGIN_HANDLE handle, const char* name, const char* key, const char* plugInName,
                               const CClassRecord* classRecord, CTypedObject* wrapper) {
  PlugInRegistryEntry entry;
  entry.handle = handle;
  entry.name = name;
  entry.key = key;
  entry.plugInName = plugInName ? CStr(plugInName) : entry.key;
  entry.classRecord = classRecord;
  entry.wrapper = wrapper;
  entry.kind = KindOf(classRecord);
  CriticalSectionLock lock(m_Lock);
  auto found = std::find_if(m_Entries.begin(), m_Entries.end(), [&](const auto& e) { return e.handle == handle; });
  if (found != m_Entries.end()) m_Entries.erase(found);
  m_Entries.push_back(std::move(entry));
}

void CPlugInRegistry::Unregister(PLUGIN_HANDLE handle) {
  CriticalSectionLock lock(m_Lock);
  auto found = std::find_if(m_Entries.begin(), m_Entries.end(), [&](const auto& e) { return e.handle == handle; });
  if (found != m_Entries.end()) m_Entries.erase(found);
}

bool CPlugInRegistry::Lookup(PLUGIN_HANDLE handle, PlugInRegistryEntry& entry) {
  CriticalSectionLock lock(m_Lock);
  auto found = std::find_if(m_Entries.begin(), m_Entries.end(), [&](const auto& e) { return e.handle == handle; });
  if (found == m_Entries.end()) return false;
  entry = *found;
  return true;
}

INT CPlugInRegistry::GetCount() {
  CriticalSectionLock lock(m_Lock);
  return static_cast<INT>(m_Entries.size());
}

bool CPlugInRegistry::GetEntry(INT index, PlugInRegistryEntry& entry) {
  CriticalSectionLock lock(m_Lock);
  if (index < 0 || static_cast<size_t>(index) >= m_Entries.size()) return false;
  entry = m_Entries[static_cast<size_t>(index)];
  return true;
}

CPlugInRegistry& GetPlugInRegistry() {
  static CPlugInRegistry registry;
  return registry;
}
