// The root of the class library's serializable objects and the run-time
// class record that names a class in stored archives: its name, schema
// (the version of its stored form), base and how to make an empty one.
// Classes declare themselves with DECLARE_SERIAL and register with
// IMPLEMENT_SERIAL, so that an archive can make an object of a class it
// finds by name. The register is filled while the program starts and only
// read afterwards.
#pragma once

#include <cstdint>

class CArchive;
class CObject;

struct CRuntimeClass {
  const char* m_lpszClassName;
  uint16_t m_wSchema;
  CObject* (*m_pfnCreateObject)();
  const CRuntimeClass* m_pBaseClass;
  const CRuntimeClass* m_pNextClass;

  CObject* CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }
  bool IsDerivedFrom(const CRuntimeClass* base) const;
  // The registered class of that name (exact spelling), or null.
  static const CRuntimeClass* FromName(const char* name);
  // Adds a class to the register; called by IMPLEMENT_SERIAL.
  static bool Register(CRuntimeClass* runtimeClass);
};

class CObject {
 public:
  static const CRuntimeClass classCObject;

  CObject() = default;
  CObject(const CObject&) = delete;
  CObject& operator=(const CObject&) = delete;
  virtual ~CObject() = default;

  virtual const CRuntimeClass* GetRuntimeClass() const { return &classCObject; }
  // Reads (or writes) the object's own fields; the root has none.
  virtual void Serialize(CArchive& /*archive*/) {}
  bool IsKindOf(const CRuntimeClass* runtimeClass) const { return GetRuntimeClass()->IsDerivedFrom(runtimeClass); }
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_SERIAL(class_name)                                              \
 public:                                                                        \
  static CRuntimeClass class##class_name;                                       \
  static CObject* CreateObject();                                               \
  const CRuntimeClass* GetRuntimeClass() const override { return &class##class_name; }

#define IMPLEMENT_SERIAL(class_name, base_class_name, schema)                  \
  CObject* class_name::CreateObject() { return new class_name; }                \
  CRuntimeClass class_name::class##class_name = {#class_name, schema, &class_name::CreateObject, \
                                                 RUNTIME_CLASS(base_class_name), nullptr};      \
  static const bool registered##class_name = CRuntimeClass::Register(&class_name::class##class_name);
