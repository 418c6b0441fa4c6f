// CStrArray: a growable array of texts, owned by the array. No lock: the
// owner guards it.
#pragma once

#include "foundation/containers/ArrayStorage.h"
#include "foundation/kernel/Str.h"
#include "foundation/kernel/TypedObject.h"

class CStrArray : public CTypedObject {
  TWL_DECLARE_CLASS(CStrArray)
 public:
  INT GetCount() const { return m_Elements.GetCount(); }
  INT GetCapacity() const { return m_Elements.GetCapacity(); }
  CStr& operator[](INT index) { return m_Elements.GetData()[index]; }
  const CStr& operator[](INT index) const { return m_Elements.GetData()[index]; }

  void SetSize(INT count, INT growBy = -1) { m_Elements.SetSize(count, growBy); }
  void SetAtGrow(INT index, const char* text) { m_Elements.SetAtGrow(index, CStr(text)); }
  void SetAtGrow(INT index, const CStr& text) { m_Elements.SetAtGrow(index, text); }
  void RemoveAt(INT index, INT n = 1) { m_Elements.RemoveAt(index, n); }

  // Loads or stores the count and the texts.
  void Serialize(CStorage& storage) override;

 private:
  ArrayStorage<CStr> m_Elements;
};
