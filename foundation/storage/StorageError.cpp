#include "foundation/storage/StorageError.h"

#include "foundation/kernel/Localizer.h"
#include "foundation/kernel/MemoryError.h"
#include "foundation/kernel/Placeholder.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CStorageError, CError)

namespace {

CStr Caption() { return GetLocalizer().GetString("CStorageError.Caption", "Storage error"); }

}  // namespace

CStr CStorageError::GetCodeText(DWORD code) {
  CStringLocalizer& localizer = GetLocalizer();
  switch (code) {
    case kNone:
      return localizer.GetString("CStorageError.none", "No error occurred.");
    case kUnknownClass:
      return localizer.GetString("CStorageError.unknownClass", "Unknown class.");
    case kEndOfStream:
      return localizer.GetString("CStorageError.endOfStream", "Unexpected end of stream.");
    case kTextTooLong:
      return localizer.GetString("CStorageError.textTooLong", "The text is too long to be stored.");
    default:
      return localizer.GetString("CStorageError.unknown", "Unknown error");
  }
}

CStorageError::CStorageError() : CStorageError(kNone) {}

CStorageError::CStorageError(DWORD code, const char* path) : CError(Caption(), CStr()), m_Code(code), m_Path(path) {
  RebuildText();
}

CStorageError::CStorageError(const CStr& caption, const CStr& text, DWORD code, const CStr& path)
    : CError(caption, text), m_Code(code), m_Path(path) {}

void CStorageError::SetCode(DWORD code) {
  m_Code = code;
  RebuildText();
}

void CStorageError::SetPath(const char* path) {
  m_Path = path;
  RebuildText();
}

void CStorageError::RebuildText() {
  const DWORD lastError = GetLastError();
  CStr text = GetCodeText(m_Code);
  if (!m_Path.IsEmpty()) {
    text += " ";
    text += ReplacePlaceholder(GetLocalizer().GetString("CStorageError.PathSuffix", "(Path: '%PATH%')"),
                               {"%PATH%", m_Path});
  }
  SetText(text);
  SetLastError(lastError);
}

CError* CStorageError::Clone() const {
  CError* copy = new CStorageError(GetCaption(), GetText(), m_Code, m_Path);
  return copy ? copy : &GetOutOfMemoryError();
}
