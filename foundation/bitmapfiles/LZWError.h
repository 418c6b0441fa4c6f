// CLZWError: LZW data that cannot be decoded. The caption is "LZW error";
// the text is the localised text of the code. The GIF readers turn it into
// CStreamError corrupted for their stream.
#pragma once

#include <windows.h>

#include "foundation/kernel/Error.h"

class CLZWError : public CError {
  TWL_DECLARE_CLASS(CLZWError)
 public:
  enum Code : DWORD {
    kNone = 0,
    // A code beyond the next free table entry.
    kCodeTooBig = 1,
  };

  // Made through the class record: the caption, an empty text and code 0.
  CLZWError();
  explicit CLZWError(DWORD code);

  // Clone is CError's: a copy keeps caption and text, not the code.

  DWORD GetCode() const { return m_Code; }
  static CStr GetCodeText(DWORD code);

 private:
  DWORD m_Code = kNone;
};
