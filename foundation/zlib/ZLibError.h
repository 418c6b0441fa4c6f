// CZLibError: a zlib call failed. It keeps zlib's result code and the
// context, the call that failed; its text is zlib's own message for the
// stream when zlib gave one, else the localised text of the result in that
// context (GetCodeText).
#pragma once

#include <windows.h>

#include "foundation/kernel/Error.h"

class CZLibError : public CError {
  TWL_DECLARE_CLASS(CZLibError)
 public:
  // The calls a context code names.
  enum Context : DWORD {
    kDeflateInit = 1,
    kDeflate = 2,
    kDeflateEnd = 3,
    kInflateInit = 4,
    kInflate = 5,
    kInflateEnd = 6,
    // Known to the texts only: the library makes none of these calls.
    kDeflateSetDictionary = 9,
    kInflateSetDictionary = 10,
    kInflateSync = 11,
  };

  // Result 0 in no context.
  CZLibError();
  // `text` null: the text of the result in the context.
  CZLibError(INT result, const char* text, DWORD context);

  CError* Clone() const override;

  INT GetResult() const { return m_Result; }
  DWORD GetContext() const { return m_Context; }

  static CStr GetCodeText(INT result, DWORD context);

 private:
  CZLibError(const CStr& caption, const CStr& text, INT result, DWORD context);

  INT m_Result = 0;
  DWORD m_Context = 0;
};
