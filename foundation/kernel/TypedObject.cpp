#include "foundation/kernel/TypedObject.h"

#include "foundation/kernel/ClassManager.h"

constinit CClassRecord CTypedObject::ClassRecord{nullptr, 0, "CTypedObject", &TwlCreateObject<CTypedObject>,
                                                 &TwlConstructObject<CTypedObject>, sizeof(CTypedObject)};

const CClassRecord* CTypedObject::GetClassRecord() const { return &ClassRecord; }

void CTypedObject::Serialize(CStorage&) {}

CClassRegistrar::CClassRegistrar(CClassRecord* record, const char* baseName) {
  GetClassManager().RegisterClass(record, baseName);
}

static const CClassRegistrar CTypedObjectRegistrar(&CTypedObject::ClassRecord, "");
