#include "foundation/containers/StrArray.h"

#include <utility>
#include <vector>

#include "foundation/containers/ArchiveCount.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CStrArray, CTypedObject)

// The count, then every text in the archive's text form.
void CStrArray::Serialize(CStorage& storage) {
  if (!storage.IsLoading()) {
    storage.WriteValue(static_cast<DWORD>(GetCount()));
    for (INT i = 0; i < GetCount(); ++i) storage.WriteString((*this)[i]);
    return;
  }
  const DWORD count = LoadArchiveCount(storage);
  std::vector<CStr> texts;
  texts.reserve(InitialReserve(count));
  for (DWORD i = 0; i < count; ++i) {
    CStr text;
    storage.ReadString(text);
    texts.push_back(std::move(text));
  }
  SetSize(static_cast<INT>(count));
  for (DWORD i = 0; i < count; ++i) (*this)[static_cast<INT>(i)] = std::move(texts[i]);
}
