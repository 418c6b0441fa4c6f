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
#define WC_NO_BEST_FIT_CHARS 0x00000400u

TWLAPI int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int textLength, LPWSTR wide, int wideLength);
TWLAPI int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideLength, LPSTR text, int textLength,
                               LPCSTR defaultChar, LPBOOL usedDefaultChar);
