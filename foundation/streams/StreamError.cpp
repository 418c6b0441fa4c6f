#include "foundation/streams/StreamError.h"

#include <iterator>

#include "foundation/kernel/Localizer.h"
#include "foundation/kernel/MemoryError.h"
#include "foundation/kernel/Placeholder.h"
#include "foundation/streams/Stream.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CStreamError, CError)

namespace {

struct CodeText {
  const char* key;
  const char* text;
};

// Indexed by code. The texts are what users see; keep them as they stand.
constexpr CodeText kCodeTexts[] = {
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
constexpr CodeText kUnknownText = {"CStreamError.unknown", "An unknown error occurred."};

// Building an error must not disturb the last Win32 error of the failure
// it describes.
class LastErrorKeeper {
 public:
  LastErrorKeeper() : m_Saved(GetLastError()) {}
  ~LastErrorKeeper() { SetLastError(m_Saved); }

 private:
  DWORD m_Saved;
};

CStr Caption() { return GetLocalizer().GetString("CStreamError.Caption", "Stream Error"); }

CStr WithPathSuffix(CStr text, const CStr& path) {
  if (path.IsEmpty()) return text;
  const CStr suffix = GetLocalizer().GetString("CStreamError.PathSuffix", "(file path: '%PATH%')");
  text += " ";
  text += ReplacePlaceholder(suffix, {"%PATH%", path});
  return text;
}

}  // namespace

CStr StreamUrlOrEmpty(CStream& stream) {
  CStr url;
  try {
    stream.GetURL(url);
  } catch (CError* error) {
    DisposeError(error);
    url = CStr();
  }
  return url;
}

CStr CStreamError::GetCodeText(DWORD code) {
  const CodeText& entry = code < std::size(kCodeTexts) ? kCodeTexts[code] : kUnknownText;
  return GetLocalizer().GetString(entry.key, entry.text);
}

CStreamError::CStreamError() : CStreamError(kNone, static_cast<const char*>(nullptr)) {}

CStreamError::CStreamError(DWORD code, const char* path) : CError(Caption(), CStr()), m_Code(code), m_Path(path) {
  LastErrorKeeper keeper;
  SetText(WithPathSuffix(GetCodeText(m_Code), m_Path));
}

CStreamError::CStreamError(DWORD code, CStream& stream) : CStreamError(code, StreamUrlOrEmpty(stream).c_str()) {}

CStreamError::CStreamError(const CError& error, const char* path) : CError(Caption(), CStr()) {
  LastErrorKeeper keeper;
  if (error.IsKindOf(&CStreamError::ClassRecord)) {
    const auto& other = static_cast<const CStreamError&>(error);
    m_Code = other.m_Code;
    m_Path = other.m_Path;
    SetText(other.GetText());
    return;
  }
  m_Code = kGeneric;
  m_Path = path;
  SetText(WithPathSuffix(CStr::Format("%s: %s", GetCodeText(kGeneric).c_str(), error.GetText().c_str()), m_Path));
}

CStreamError::CStreamError(const CError& error, CStream& stream)
    : CStreamError(error, error.IsKindOf(&CStreamError::ClassRecord) ? "" : StreamUrlOrEmpty(stream).c_str()) {}

CStreamError::CStreamError(DWORD code, const char* path, const CStr& text)
    : CError(Caption(), text), m_Code(code), m_Path(path) {}

CStreamError::CStreamError(const CStr& caption, const CStr& text, DWORD code, const CStr& path)
    : CError(caption, text), m_Code(code), m_Path(path) {}

CError* CStreamError::Clone() const {
  CError* copy = new CStreamError(GetCaption(), GetText(), m_Code, m_Path);
  return copy ? copy : &GetOutOfMemoryError();
}
