#include "foundation/errors/MCIError.h"

#include "foundation/errors/LocalText.h"

TWL_IMPLEMENT_CLASS(CMCIError, CError)

CMCIError::CMCIError(DWORD code)
    : CError(LocalText("CMCIError.Caption", "Windows MCI error"), GetErrorText(code)), m_Code(code) {}

CMCIError::CMCIError(DWORD code, const CStr& text)
    : CError(LocalText("CMCIError.Caption", "Windows MCI error"), text), m_Code(code) {}

CStr CMCIError::GetErrorText(DWORD code) {
  char description[256] = {};
  if (!mciGetErrorStringA(code, description, sizeof description))
    return LocalText("CMCIError.Unknown", "an unknown error occurred");
  description[sizeof description - 1] = '\0';
  return CStr(description);
}
