#include "foundation/containers/DWORDArray.h"

#include <algorithm>
#include <vector>

#include "foundation/containers/ArchiveCount.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CDWORDArray, CTypedObject)

// The count, then every value as 32 bits.
void CDWORDArray::Serialize(CStorage& storage) {
  if (!storage.IsLoading()) {
    storage.WriteValue(static_cast<DWORD>(GetCount()));
    for (INT i = 0; i < GetCount(); ++i) storage.WriteValue((*this)[i]);
    return;
  }
  const DWORD count = LoadArchiveCount(storage);
  std::vector<DWORD> values;
  values.reserve(InitialReserve(count));
  for (DWORD i = 0; i < count; ++i) {
    DWORD value = 0;
    storage.ReadValue(value);
    values.push_back(value);
  }
  SetSize(static_cast<INT>(count));
  std::copy(values.begin(), values.end(), m_Elements.GetData());
}
