// CTypedObject: the root of every registered class. Each registered class
// declares its record with TWL_DECLARE_CLASS and defines and registers it
// with TWL_IMPLEMENT_CLASS (or TWL_IMPLEMENT_CREATABLE_CLASS when the class
// can be made by its default constructor). Registration happens during
// static initialisation, in any order: a class whose base has not
// registered yet waits for it.
//
// The type test: IsKindOf<CError>(object), or
// object->GetClassRecord()->IsDerivedFrom(&CError::ClassRecord).
#pragma once

#include <new>

#include "foundation/kernel/ClassRecord.h"

class CStorage;

class CTypedObject {
 public:
  static CClassRecord ClassRecord;

  CTypedObject() noexcept = default;
  virtual ~CTypedObject() = default;
  virtual const CClassRecord* GetClassRecord() const;
  // Loads or stores the object through the storage archive; nothing to do
  // for classes that keep no data.
  virtual void Serialize(CStorage& storage);

  bool IsKindOf(const CClassRecord* record) const { return GetClassRecord()->IsDerivedFrom(record); }
};

template <class T>
bool IsKindOf(const CTypedObject* object) {
  return object && object->GetClassRecord()->IsDerivedFrom(&T::ClassRecord);
}

// Registers a record under its base's name when constructed.
struct CClassRegistrar {
  CClassRegistrar(CClassRecord* record, const char* baseName);
};

template <class T>
CTypedObject* TwlCreateObject() {
  return new (std::nothrow) T;
}

template <class T>
void TwlConstructObject(void* memory) {
  if (memory) ::new (memory) T;
}

#define TWL_DECLARE_CLASS(Class)  \
 public:                          \
  static CClassRecord ClassRecord; \
  const CClassRecord* GetClassRecord() const override;

#define TWL_IMPLEMENT_CLASS_WITH(Class, Base, create, construct)                                    \
  constinit CClassRecord Class::ClassRecord{nullptr, 0, #Class, create, construct, sizeof(Class)}; \
  const CClassRecord* Class::GetClassRecord() const { return &ClassRecord; }                       \
  static const CClassRegistrar Class##Registrar(&Class::ClassRecord, #Base);

// A class made only by its own constructors (abstract, or no default one).
#define TWL_IMPLEMENT_CLASS(Class, Base) TWL_IMPLEMENT_CLASS_WITH(Class, Base, nullptr, nullptr)
// A class that the record's callbacks can make.
#define TWL_IMPLEMENT_CREATABLE_CLASS(Class, Base) \
  TWL_IMPLEMENT_CLASS_WITH(Class, Base, &TwlCreateObject<Class>, &TwlConstructObject<Class>)
