// CStorageError: the storage archive could not load or store its data. A
// code (see GetCodeText) and an optional path make up the text; the archive
// itself raises only kEndOfStream (and kTextTooLong), without a path.
#pragma once

#include <windows.h>

#include "foundation/kernel/Error.h"

class CStorageError : public CError {
  TWL_DECLARE_CLASS(CStorageError)
 public:
  enum Code : DWORD {
    kNone = 0,
    kUnknownClass = 1,
    kEndOfStream = 2,
    // A text longer than its 16-bit length field can count.
    kTextTooLong = 3,
  };

  // Code 0 without a path.
  CStorageError();
  explicit CStorageError(DWORD code, const char* path = nullptr);

  CError* Clone() const override;

  DWORD GetCode() const { return m_Code; }
  const CStr& GetPath() const { return m_Path; }
  // Each rebuilds the text.
  void SetCode(DWORD code);
  void SetPath(const char* path);

  static CStr GetCodeText(DWORD code);

 private:
  CStorageError(const CStr& caption, const CStr& text, DWORD code, const CStr& path);
  void RebuildText();

  DWORD m_Code = kNone;
  CStr m_Path;
};
