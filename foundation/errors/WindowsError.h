// CWindowsError: a failed call of the Win32 base services. GetErrorText
// turns any code (the value of GetLastError) into a fixed English text; the
// constructor from a caption key and a text key records the calling
// thread's last error, so a failed call can be thrown before its code has
// been read anywhere else.
#pragma once

#include <windows.h>

#include "foundation/kernel/Error.h"

class CWindowsError : public CError {
  TWL_DECLARE_CLASS(CWindowsError)

 public:
  CWindowsError();
  CWindowsError(const char* captionKey, const char* captionDefault, const char* textKey, const char* textDefault);

  DWORD GetCode() const { return m_Code; }

  // The message of a Win32 code followed by one blank and the code, or
  // "An unknown error occurred." for a code without a message. Never null;
  // the text is static.
  static const char* GetErrorText(DWORD code);

 private:
  CWindowsError(DWORD code, const char* captionKey, const char* captionDefault, const char* textKey,
                const char* textDefault);

  DWORD m_Code = 0;
};
