// CDWORDArray: a growable array of 32-bit values. No lock: the owner
// guards it.
#pragma once

#include "foundation/containers/ArrayStorage.h"
#include "foundation/kernel/TypedObject.h"

class CDWORDArray : public CTypedObject {
  TWL_DECLARE_CLASS(CDWORDArray)
 public:
  INT GetCount() const { return m_Elements.GetCount(); }
  INT GetCapacity() const { return m_Elements.GetCapacity(); }
  DWORD& operator[](INT index) { return m_Elements.GetData()[index]; }
  DWORD operator[](INT index) const { return m_Elements.GetData()[index]; }
  const DWORD* GetData() const { return m_Elements.GetData(); }

  void SetSize(INT count, INT growBy = -1) { m_Elements.SetSize(count, growBy); }
  void SetAtGrow(INT index, DWORD value) { m_Elements.SetAtGrow(index, value); }
  void InsertAt(INT index, DWORD value, INT n = 1) { m_Elements.InsertAt(index, value, n); }
  INT RemoveAt(INT index, INT n = 1) { return m_Elements.RemoveAt(index, n); }

  // Loads or stores the count and the elements.
  void Serialize(CStorage& storage) override;

 private:
  ArrayStorage<DWORD> m_Elements;
};
