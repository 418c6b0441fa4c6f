#include "plugins/pluginsdk/FileFilterObject.h"

#include "plugins/pluginsdk/HostErrors.h"
#include "plugins/pluginsdk/ObjectTables.h"
#include "plugins/pluginsdk/OwnedItems.h"

namespace pluginsdk {

FileFilterObject::~FileFilterObject() { DeletePatterns(); }

const void* FileFilterObject::GetInterface() const { return &kFileFilterTable; }

bool FileFilterObject::Init(PLUGIN_HANDLE caller) {
  if (!PlugInObject::Init(caller)) return false;
  if (CreatePatterns()) return true;
  KeepingThreadError(Host(), [this] { Exit(); });
  return false;
}

bool FileFilterObject::Exit() {
  DeletePatterns();
  return true;
}

void FileFilterObject::DeletePatterns() {
  DeleteItems<FilterPattern>(m_Patterns);
}

bool FileFilterObject::BuildFilter(HOST_FILEFILTERLIST list) {
  for (int index = 0; index < m_Patterns.GetCount(); ++index) {
    auto* pattern = static_cast<FilterPattern*>(m_Patterns.GetAt(index));
    if (!Host().HOST_AddFileFilterPattern(list, pattern->GetText(), reinterpret_cast<FILEFILTER_DESCRIPTION>(pattern),
                                          GetCaller()))
      return false;
  }
  return true;
}

FilterPattern* FileFilterObject::FindPattern(FILEFILTER_DESCRIPTION description) const {
  for (int index = 0; index < m_Patterns.GetCount(); ++index) {
    auto* pattern = static_cast<FilterPattern*>(m_Patterns.GetAt(index));
    if (reinterpret_cast<FILEFILTER_DESCRIPTION>(pattern) == description) return pattern;
  }
  return nullptr;
}

bool FileFilterObject::TestNames(int32_t patternCount, const FILEFILTER_DESCRIPTION* patterns, int32_t nameCount,
                                 const char* const* names, DWORD* results) {
  if (patternCount <= 0) return true;
  // The host's numbers are checked before any is used as a pattern.
  bool sound = patterns && (nameCount <= 0 || (names && results));
  for (int32_t index = 0; sound && index < patternCount; ++index) sound = FindPattern(patterns[index]) != nullptr;
  if (!sound) {
    Host().HOST_SetMiscError(HOST_MISC_INVALID_PARAM);
    return false;
  }
  HostSavedError* firstFailure = nullptr;
  bool failed = false;
  for (int32_t index = 0; index < patternCount; ++index) {
    if (FindPattern(patterns[index])->Test(nameCount, names, results)) continue;
    if (!failed) firstFailure = Host().HOST_SaveError();
    failed = true;
  }
  if (!failed) return true;
  if (firstFailure) {
    Host().HOST_RestoreError(firstFailure);
    Host().HOST_FreeError(firstFailure);
  }
  return false;
}

bool FileFilterObject::CreatePatterns() { return true; }

bool FileFilterObject::AddPattern(FilterPattern* pattern, bool constructed) {
  return AdoptItem(Host(), m_Patterns, pattern, constructed);
}

}  // namespace pluginsdk
