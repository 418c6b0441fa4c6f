// Profile files (.ini): sections in brackets, one "key=value" line per key.
// Section and key names compare without regard to case; values lose the
// blanks around them and one pair of quotes. The file is read again at
// every call, so changes by other programs show at once; a write replaces
// the whole file at once and writers in several processes take turns.
// Lines a write adds end in CR LF; other lines are kept as they were.
//
// A file name without a folder names a file in the settings folder (the
// folder of the registry database).
#pragma once

#include "types.h"

// With a section and a key: the value, else the default (trailing blanks
// removed), cut to the buffer; the answer is the length copied, size - 1
// when the value was cut. Without a key: the section's keys; without a
// section: the section names; both as zero-terminated names followed by
// one more zero, and size - 2 when the list was cut.
TWLAPI DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer, DWORD size,
                                      LPCSTR fileName);
// The decimal number at the start of the value (blanks and a sign may come
// first), else the default.
TWLAPI UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT defaultValue, LPCSTR fileName);
TWLAPI DWORD GetPrivateProfileSectionNamesA(LPSTR buffer, DWORD size, LPCSTR fileName);
// A null value deletes the key; a null key deletes the whole section. A
// name or value holding a line break cannot be kept in the file and is
// refused (ERROR_INVALID_PARAMETER), as is a section holding ']' or a key
// holding '='.
TWLAPI BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName);
