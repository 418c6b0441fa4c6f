// CDirectSoundError: a failed DirectSound call with its result code. The
// sound code throws it; the thread error state stores and rebuilds
// it. Its Clone is CError's: the copy keeps caption and text only.
#pragma once

#include "foundation/kernel/Error.h"

class CDirectSoundError : public CError {
  TWL_DECLARE_CLASS(CDirectSoundError)
 public:
  CDirectSoundError(const CStr& caption, const CStr& text, DWORD code) : CError(caption, text), m_Code(code) {}

  DWORD GetCode() const { return m_Code; }

 private:
  DWORD m_Code;
};
