#include "foundation/kernel/MemoryError.h"

#include "foundation/kernel/Localizer.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CMemoryError, CError)

const char* const CMemoryError::kCaptionKey = "CMemoryError.Caption";
const char* const CMemoryError::kCaptionDefault = "Memory error";
const char* const CMemoryError::kTextKey = "CMemoryError.Text";
const char* const CMemoryError::kTextDefault = "Not enough memory.";

CMemoryError::CMemoryError()
    : CError(GetLocalizer().GetString(kCaptionKey, kCaptionDefault), GetLocalizer().GetString(kTextKey, kTextDefault)) {}

CMemoryError::CMemoryError(const CStr& caption, const CStr& text) : CError(caption, text) {}

CError* CMemoryError::Clone() const {
  CError* copy = new CMemoryError(GetCaption(), GetText());
  return copy ? copy : &GetOutOfMemoryError();
}
