// Conversions between 8-bit text and wide text. The 8-bit code page of the
// system (CP_ACP) is UTF-8; wide text is UTF-16. Bytes that are not valid
// UTF-8 are read as Windows-1252, the code page files from Windows carry.
#pragma once

#include "types.h"

#define CP_ACP 0u
#define CP_OEMCP 1u
#define CP_UTF8 65001u
#define CP_1252 1252u

#define MB_PRECOMPOSED 0x00000001u
#define MB_ERR_INVALID_CHARS 0x00000008u
#define WC_ERR_INVALID_CHARS 0x00000080u
#define WC_NO_BEST_FIT_CHARS 0x00000400u

// Lengths of -1 mean NUL-terminated text and count the NUL. An output size
// of 0 asks for the size needed; too small a buffer fails with
// ERROR_INSUFFICIENT_BUFFER. MB_ERR_INVALID_CHARS makes bytes that are not
// UTF-8 fail with ERROR_NO_UNICODE_TRANSLATION instead of being read as
// Windows-1252. Unpaired surrogates become U+FFFD in UTF-8 (or fail with
// WC_ERR_INVALID_CHARS) and the default character ('?' unless given) in
// 1252, which has no best-fit mappings; usedDefaultChar tells either.
TWLAPI int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int textLength, LPWSTR wide, int wideLength);
TWLAPI int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideLength, LPSTR text, int textLength,
                               LPCSTR defaultChar, LPBOOL usedDefaultChar);

// The text in upper case as names are compared without regard to case
// (every process and locale alike; bytes that are not UTF-8 stay as they
// are). The result may be longer than the source. The locale is accepted
// and not used; LCMAP_UPPERCASE is the only mapping. A source length of -1
// means NUL-terminated and counts the NUL; a destination size of 0 asks for
// the size needed.
#define LOCALE_USER_DEFAULT 0x0400u
#define LCMAP_UPPERCASE 0x00000200u
TWLAPI int LCMapStringA(DWORD locale, DWORD flags, LPCSTR source, int sourceLength, LPSTR destination,
                        int destinationLength);
