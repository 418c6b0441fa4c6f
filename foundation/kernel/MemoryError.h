// CMemoryError: memory could not be had. The prepared instance
// (GetOutOfMemoryError) is built at start and thrown, without allocating,
// by ThrowMemoryError; it is never deleted by a catcher.
#pragma once

#include "foundation/kernel/Error.h"

class CMemoryError : public CError {
  TWL_DECLARE_CLASS(CMemoryError)
 public:
  // Caption and text are the localised "Memory error" and "Not enough memory.".
  CMemoryError();
  CMemoryError(const CStr& caption, const CStr& text);

  CError* Clone() const override;

  static const char* const kCaptionKey;
  static const char* const kCaptionDefault;
  static const char* const kTextKey;
  static const char* const kTextDefault;
};

CMemoryError& GetOutOfMemoryError();
