#include "platform/mfc/Object.h"

#include <cstring>

namespace {

// The head of the register's list; constant-initialised, so classes of any
// module may register during start-up in any order.
const CRuntimeClass* g_firstClass = nullptr;

}  // namespace

const CRuntimeClass CObject::classCObject = {"CObject", 0xFFFF, nullptr, nullptr, nullptr};

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const {
  for (const CRuntimeClass* each = this; each; each = each->m_pBaseClass)
    if (each == base) return true;
  return false;
}

const CRuntimeClass* CRuntimeClass::FromName(const char* name) {
  for (const CRuntimeClass* each = g_firstClass; each; each = each->m_pNextClass)
    if (std::strcmp(each->m_lpszClassName, name) == 0) return each;
  return nullptr;
}

bool CRuntimeClass::Register(CRuntimeClass* runtimeClass) {
  runtimeClass->m_pNextClass = g_firstClass;
  g_firstClass = runtimeClass;
  return true;
}
