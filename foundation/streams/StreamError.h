// CStreamError: a failed stream operation, with its code (0 to 20) and the
// URL or path it concerns. The caption is always the stream caption; the
// text is the code's text, followed by the path when there is one.
#pragma once

#include <windows.h>

#include "foundation/kernel/Error.h"

class CStreamError : public CError {
  TWL_DECLARE_CLASS(CStreamError)

 public:
  CStreamError();
  CStreamError(DWORD code, const char* path);
  // An error whose text is known already (taken from another error or a
  // stored thread error); the path only travels along.
  CStreamError(DWORD code, const char* path, const CStr& text);

  CError* Clone() const override;

  DWORD GetCode() const { return m_Code; }
  const CStr& GetPath() const { return m_Path; }

  // The localised text of a code alone, without a path.
  static CStr GetCodeText(DWORD code);

 private:
  DWORD m_Code = 0;
  CStr m_Path;
};
