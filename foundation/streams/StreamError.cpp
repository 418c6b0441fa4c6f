#include "foundation/streams/StreamError.h"

#include <iterator>

#include "foundation/errors/LocalText.h"
#include "foundation/kernel/MemoryError.h"
#include "foundation/kernel/Placeholder.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CStreamError, CError)

namespace {

struct StreamErrorRow {
  const char* key;
  const char* text;
};

// Indexed by code. The defaults are the texts users know, misspellings
// included.
constexpr StreamErrorRow kRows[] = {
    {"CStreamError.none", "No error occurred."},
    {"CStreamError.generic", "A generic error occurred."},
    {"CStreamError.genericRead", "A generic reading error occurred."},
    {"CStreamError.genericWrite", "A generic writing error occurred."},
    {"CStreamError.genericSeek", "A generic seeking error occurred."},
    {"CStreamError.genericOpen", "The file could not be openened."},
    {"CStreamError.invalidParam", "An invalid parameter was passed to a function."},
    {"CStreamError.notPermitted", "The initiated action ist not permitted on this object."},
    {"CStreamError.endOfStream", "The end of the stream was reached."},
    {"CStreamError.unsupportedProtocol", "The protocol is not supported."},
    {"CStreamError.fileNotFound", "The file was not found."},
    {"CStreamError.notEnoughFreeSpace", "There is not enough free space on the device left to perform this action."},
    {"CStreamError.accessDenied", "The access has been denied."},
    {"CStreamError.tooManyOpenFiles", "There are too many open files."},
    {"CStreamError.corrupted", "The file is corrupted."},
    {"CStreamError.connectionLost", "The connection was lost."},
    {"CStreamError.deadConnection", "The connection timed out."},
    {"CStreamError.canEstablishConnection", "Can't establish connection."},
    {"CStreamError.invalidPath", "The path is invalid."},
    {"CStreamError.shutdown", "The stream has been shut down."},
    {"CStreamError.unsupportedFormat", "The file format is not supported."},
};

CStr Caption() { return LocalText("CStreamError.Caption", "Stream Error"); }

CStr TextWithPath(DWORD code, const char* path) {
  CStr text = CStreamError::GetCodeText(code);
  if (!path || !*path) return text;
  CStr suffix = LocalText("CStreamError.PathSuffix", "(file path: '%PATH%')");
  return text + " " + ReplacePlaceholder(suffix, PlaceholderPair{"%PATH%", path});
}

}  // namespace

CStreamError::CStreamError() : CError(Caption(), GetCodeText(0)) {}

CStreamError::CStreamError(DWORD code, const char* path)
    : CError(Caption(), TextWithPath(code, path)), m_Code(code), m_Path(path) {}

CStreamError::CStreamError(DWORD code, const char* path, const CStr& text)
    : CError(Caption(), text), m_Code(code), m_Path(path) {}

CError* CStreamError::Clone() const {
  CError* copy = new CStreamError(m_Code, m_Path, GetText());
  return copy ? copy : &GetOutOfMemoryError();
}

CStr CStreamError::GetCodeText(DWORD code) {
  if (code < std::size(kRows)) return LocalText(kRows[code].key, kRows[code].text);
  return LocalText("CStreamError.unknown", "An unknown error occurred.");
}
