// CDirectDrawError: a failed DirectDraw call with its result code. The
// display subsystem throws it; the thread error state stores and rebuilds
// it. Its Clone is CError's: the copy keeps caption and text only.
#pragma once

#include "foundation/kernel/Error.h"

class CDirectDrawError : public CError {
  TWL_DECLARE_CLASS(CDirectDrawError)
 public:
  CDirectDrawError(const CStr& caption, const CStr& text, DWORD code) : CError(caption, text), m_Code(code) {}

  DWORD GetCode() const { return m_Code; }

 private:
  DWORD m_Code;
};
