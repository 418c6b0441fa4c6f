#include "foundation/bitmaps/ColorPalette.h"

#include <vector>

#include "foundation/containers/ArchiveCount.h"
#include "foundation/containers/AssignDWordArray.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CColorPalette, CDynamicObject)

CColorPalette::~CColorPalette() { FreeDWordArray(m_Entries, m_Count); }

void CColorPalette::SetEntries(DWORD n, const DWORD* source) { AssignDWordArray(m_Entries, m_Count, n, source); }

void CColorPalette::Serialize(CStorage& storage) {
  if (!storage.IsLoading()) {
    storage.WriteValue(m_Count);
    for (DWORD i = 0; i < m_Count; ++i) storage.WriteValue(m_Entries[i]);
    return;
  }
  const DWORD count = LoadArchiveCount(storage);
  std::vector<DWORD> entries;
  entries.reserve(InitialReserve(count));
  for (DWORD i = 0; i < count; ++i) {
    DWORD entry = 0;
    storage.ReadValue(entry);
    entries.push_back(entry);
  }
  SetEntries(count, entries.data());
}
