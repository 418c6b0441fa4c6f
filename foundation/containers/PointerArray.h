// CPointerArray: a growable array of untyped pointers. The array does not
// own what they point to. No lock: the owner guards it.
#pragma once

#include "foundation/containers/ArrayStorage.h"
#include "foundation/kernel/TypedObject.h"

class CPointerArray : public CTypedObject {
  TWL_DECLARE_CLASS(CPointerArray)
 public:
  INT GetCount() const { return m_Elements.GetCount(); }
  INT GetCapacity() const { return m_Elements.GetCapacity(); }
  void*& operator[](INT index) { return m_Elements.GetData()[index]; }
  void* operator[](INT index) const { return m_Elements.GetData()[index]; }

  void SetSize(INT count, INT growBy = -1) { m_Elements.SetSize(count, growBy); }
  void SetAtGrow(INT index, void* value) { m_Elements.SetAtGrow(index, value); }
  void InsertAt(INT index, void* value, INT n = 1) { m_Elements.InsertAt(index, value, n); }
  INT RemoveAt(INT index, INT n = 1) { return m_Elements.RemoveAt(index, n); }

 private:
  ArrayStorage<void*> m_Elements;
};
