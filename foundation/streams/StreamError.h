// CStreamError: a failed stream operation, with a code (0 to 20, see
// GetCodeText) and the path or URL it concerns (possibly empty). The text
// is the code's localised text, followed by the localised path suffix when
// there is a path; the caption is always the stream error caption.
#pragma once

#include <windows.h>

#include "foundation/kernel/Error.h"

class CStream;

class CStreamError : public CError {
  TWL_DECLARE_CLASS(CStreamError)
 public:
  enum Code : DWORD {
    kNone = 0,
    kGeneric = 1,
    kGenericRead = 2,
    kGenericWrite = 3,
    kGenericSeek = 4,
    kGenericOpen = 5,
    kInvalidParam = 6,
    kNotPermitted = 7,
    kEndOfStream = 8,
    kUnsupportedProtocol = 9,
    kFileNotFound = 10,
    kNotEnoughFreeSpace = 11,
    kAccessDenied = 12,
    kTooManyOpenFiles = 13,
    kCorrupted = 14,
    kConnectionLost = 15,
    kDeadConnection = 16,
    kCanEstablishConnection = 17,
    kInvalidPath = 18,
    kShutdown = 19,
    kUnsupportedFormat = 20,
  };

  // Code 0 without a path.
  CStreamError();
  CStreamError(DWORD code, const char* path = nullptr);
  // The for-stream form: the stream's URL is the path. An error thrown by
  // GetURL is discarded and the path stays empty.
  CStreamError(DWORD code, CStream& stream);
  // The from-error forms: a stream error (or one derived from it) keeps its
  // own code, path and text; any other error becomes code 1 with the text
  // "<text of code 1>: <its text>" and the given path.
  CStreamError(const CError& error, const char* path);
  CStreamError(const CError& error, CStream& stream);
  // An error whose text is known already (a stored thread error rebuilt);
  // the path only travels along.
  CStreamError(DWORD code, const char* path, const CStr& text);

  CError* Clone() const override;

  DWORD GetCode() const { return m_Code; }
  const CStr& GetPath() const { return m_Path; }

  // The localised text of a code; codes outside 0 to 20 have the text of
  // an unknown error.
  static CStr GetCodeText(DWORD code);

 private:
  CStreamError(const CStr& caption, const CStr& text, DWORD code, const CStr& path);

  DWORD m_Code = kNone;
  CStr m_Path;
};

// The stream's URL for an error about it, or empty when asking for it
// fails: that failure is disposed of, so that it never replaces the error
// being built.
CStr StreamUrlOrEmpty(CStream& stream);
