// CProxyType: one kind of proxy that a plug-in can go through for a
// protocol ("HTTP", "user@host"), with its usual port. Types come from the
// plug-ins at every start; the user's choice refers to one by name.
//
// Threading: guarded by the lock of the proxy database that holds it.
#pragma once

#include <windows.h>

#include "foundation/kernel/Str.h"
#include "foundation/kernel/TypedObject.h"

class CProxyType : public CTypedObject {
  TWL_DECLARE_CLASS(CProxyType)
 public:
  CProxyType() = default;

  const CStr& GetName() const { return m_Name; }
  void SetName(const char* name) { m_Name = name; }
  // -1 until a plug-in sets it.
  LONG GetDefaultPort() const { return m_DefaultPort; }
  void SetDefaultPort(LONG port) { m_DefaultPort = port; }

 private:
  CStr m_Name;
  LONG m_DefaultPort = -1;
};
