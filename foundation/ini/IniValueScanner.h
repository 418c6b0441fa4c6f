// The reading steps the ini items share: a cursor over a value text that
// takes blanks (spaces and tabs), words, single characters and decimal
// numbers. Every number must fit a signed 32-bit integer; a step that does
// not find what it wants answers false and leaves the cursor where the
// mismatch is.
#pragma once

#include <windows.h>

#include <cstddef>

#include "foundation/kernel/Str.h"

class CIniValueScanner {
 public:
  explicit CIniValueScanner(const CStr& value) : m_Position(value.c_str()), m_End(value.c_str() + value.GetLength()) {}

  void SkipBlanks();
  bool AtEnd() const { return m_Position == m_End; }
  // Blanks, then nothing else.
  bool OnlyBlanksLeft();
  bool Take(char wanted);
  // The word in any letter case.
  bool TakeWordNoCase(const char* word);

  // One or more digits; false also when the number exceeds `limit`.
  bool ReadDigits(DWORD& value, DWORD limit);
  // As ReadDigits, without a limit below the 32-bit range; `tooBig` tells
  // the two failures apart.
  bool ReadDigitsUpTo(DWORD& value, DWORD limit, bool& tooBig);
  // The integer rule: blanks, a minus sign (when allowed) that blanks may
  // follow, digits, blanks. `negative` tells a minus sign, also before 0.
  bool ReadInteger(bool allowMinus, INT& value, bool* negative = nullptr);
  // The digits as they stand, for decimal places.
  bool ReadDigitText(CStr& digits);
  // Exactly `count` hexadecimal digits.
  bool ReadHex(size_t count, DWORD& value);
  // Up to the first occurrence of `stop` (or the end), without it.
  CStr TakeUntil(char stop);

 private:
  const char* m_Position;
  const char* m_End;
};

bool IsIniBlank(char c);
