// CDynamicObject: a shared object that lives while someone holds a
// reference. The count starts at 1 for the creator; Release deletes the
// object when the count reaches 0. The count is not locked: an object
// shared between threads is guarded by its owner's lock.
#pragma once

#include "foundation/kernel/TypedObject.h"

class CDynamicObject : public CTypedObject {
  TWL_DECLARE_CLASS(CDynamicObject)
 public:
  CDynamicObject() noexcept = default;
  CDynamicObject(const CDynamicObject&) = delete;
  CDynamicObject& operator=(const CDynamicObject&) = delete;

  virtual LONG AddRef();
  // The new count; at 0 the object has deleted itself.
  virtual LONG Release();

  LONG GetReferenceCount() const { return m_References; }

 private:
  LONG m_References = 1;
};

// Points a reference-holding member at `object`: the new object gains a
// reference before the old one loses its own, so assigning the object
// already held leaves its count as it was.
template <class T>
void AssignReference(T*& member, T* object) {
  if (object) object->AddRef();
  if (member) member->Release();
  member = object;
}
