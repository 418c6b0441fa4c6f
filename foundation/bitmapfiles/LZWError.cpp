#include "foundation/bitmapfiles/LZWError.h"

#include "foundation/kernel/Localizer.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CLZWError, CError)

namespace {

// Not localised.
constexpr const char* kCaption = "LZW error";

}  // namespace

CStr CLZWError::GetCodeText(DWORD code) {
  CStringLocalizer& localizer = GetLocalizer();
  switch (code) {
    case kNone: return localizer.GetString("CLZWError.LZWE_NONE", "No error occurred.");
    case kCodeTooBig: return localizer.GetString("CLZWError.LZWE_CODETOOBIG", "The code value is too big.");
    default: return localizer.GetString("CLZWError.Unknown", "An unknown error occurred.");
  }
}

CLZWError::CLZWError() : CError(kCaption, CStr()) {}

CLZWError::CLZWError(DWORD code) : CError(kCaption, GetCodeText(code)), m_Code(code) {}
