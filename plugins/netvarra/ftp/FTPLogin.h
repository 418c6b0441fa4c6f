// CFTPLogin: one saved FTP server: its display name, host (possibly with
// ":port"), optional alias, user (empty for anonymous) and the password in
// plain text. A login's key is its alias when it has one, else its host.
#pragma once

#include "foundation/kernel/Str.h"
#include "foundation/kernel/TypedObject.h"

class CFTPLogin : public CTypedObject {
  TWL_DECLARE_CLASS(CFTPLogin)
 public:
  CFTPLogin() noexcept = default;
  CFTPLogin(const CFTPLogin& other) { CopyFrom(other); }
  CFTPLogin& operator=(const CFTPLogin& other) {
    CopyFrom(other);
    return *this;
  }

  void CopyFrom(const CFTPLogin& other);
  const CStr& GetKey() const { return alias.IsEmpty() ? host : alias; }

  CStr name;
  CStr host;
  CStr alias;
  CStr user;
  CStr password;
};
