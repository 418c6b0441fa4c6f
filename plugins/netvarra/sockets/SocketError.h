// CSocketError: a failed socket operation, with its Winsock code (or -1
// for none) and the text the thrower gave about what was being done. The
// shown text joins the two: "<context> (<code text>)", or either alone.
#pragma once

#include <windows.h>

#include "foundation/kernel/Error.h"

class CSocketError : public CError {
  TWL_DECLARE_CLASS(CSocketError)
 public:
  CSocketError(int code, const CStr& context);

  CError* Clone() const override;

  int GetCode() const { return m_Code; }
  CStr GetContext() const { return m_Context; }

  // The localised text of a Winsock code; "An unknown error occurred." for
  // codes outside the table.
  static CStr GetCodeText(int code);

 private:
  CSocketError(const CStr& caption, const CStr& text, int code, const CStr& context);

  int m_Code;
  CStr m_Context;
};
