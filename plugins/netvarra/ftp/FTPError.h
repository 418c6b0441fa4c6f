// CFTPError: a reply the FTP client did not expect, with the reply's code
// (-1 when it had none) and its text. The caption is always "FTP error".
// A clone is a plain CError with the same caption and text.
#pragma once

#include <string>

#include "foundation/kernel/Error.h"

class CFTPError : public CError {
  TWL_DECLARE_CLASS(CFTPError)
 public:
  // Without a message the text is "Unexpected FTP reply (<reply>)".
  CFTPError(int code, const char* reply, const char* message = nullptr);

  int GetCode() const { return m_Code; }
  const CStr& GetReply() const { return m_Reply; }

 private:
  int m_Code;
  CStr m_Reply;
};

// The unexpected-reply error for input that broke a size limit: only the
// first 100 characters of the offending text are shown.
[[noreturn]] void ThrowOversizedReply(const std::string& text);
