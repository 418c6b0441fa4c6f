// CountedReference: holds one reference to a counted object (a palette, a
// bitmap) and releases it when it goes, also when an error passes through.
#pragma once

#include "foundation/kernel/DynamicObject.h"

template <class T>
class CountedReference {
 public:
  CountedReference() noexcept = default;
  // Takes over the caller's reference (a new object's first one).
  explicit CountedReference(T* adopted) noexcept : m_Object(adopted) {}
  CountedReference(const CountedReference&) = delete;
  CountedReference& operator=(const CountedReference&) = delete;
  ~CountedReference() {
    if (m_Object) m_Object->Release();
  }

  // Drops the reference held and takes over the caller's reference.
  void Adopt(T* adopted) {
    if (m_Object) m_Object->Release();
    m_Object = adopted;
  }
  // Adds a reference of its own to a shared object (or drops it for null).
  void Share(T* object) { AssignReference(m_Object, object); }
  T* Get() const { return m_Object; }
  explicit operator bool() const { return m_Object != nullptr; }

 private:
  T* m_Object = nullptr;
};
