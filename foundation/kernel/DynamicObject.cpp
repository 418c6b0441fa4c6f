#include "foundation/kernel/DynamicObject.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CDynamicObject, CTypedObject)

LONG CDynamicObject::AddRef() { return ++m_References; }

LONG CDynamicObject::Release() {
  const LONG count = --m_References;
  if (count == 0) delete this;
  return count;
}
