// CWinMMError: a failed call of the Windows multimedia functions (wave,
// MIDI, timer, joystick, multimedia file I/O, mixer) with its result code.
// Texts are localised, with English defaults; codes in the MCI range get
// the system's MCI text behind a prefix.
#pragma once

#include <windows.h>

#include "foundation/kernel/Error.h"

class CWinMMError : public CError {
  TWL_DECLARE_CLASS(CWinMMError)

 public:
  // Caption "Windows Multimedia error", text GetErrorText(code).
  explicit CWinMMError(DWORD code);
  // The same caption with a text known already (a stored thread error).
  CWinMMError(DWORD code, const CStr& text);

  DWORD GetCode() const { return m_Code; }

  static CStr GetErrorText(DWORD code);

 private:
  DWORD m_Code;
};
