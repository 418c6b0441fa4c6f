// CMCIError: a failed command of the Media Control Interface with its
// code. The text is the system's description of the code; when the system
// has none (always so on this platform), a localised "unknown" text.
#pragma once

#include <windows.h>

#include "foundation/kernel/Error.h"

class CMCIError : public CError {
  TWL_DECLARE_CLASS(CMCIError)

 public:
  // Caption "Windows MCI error", text GetErrorText(code).
  explicit CMCIError(DWORD code);
  // The same caption with a text known already (a stored thread error).
  CMCIError(DWORD code, const CStr& text);

  DWORD GetCode() const { return m_Code; }

  static CStr GetErrorText(DWORD code);

 private:
  DWORD m_Code;
};
