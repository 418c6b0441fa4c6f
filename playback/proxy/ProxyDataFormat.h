// The fields of the stored proxy settings ("ProxyData"): little-endian
// unsigned 32-bit words, and texts as a word with the length followed by
// that many bytes without a terminator. A field the stream cannot deliver
// in full throws CStreamError 8 (end of stream); a text longer than what is
// left of a stream of known length throws before anything is allocated,
// and a stream of unknown length is read in small chunks, so a stored
// length never costs more memory than the bytes that are really there.
#pragma once

#include <windows.h>

#include "foundation/kernel/Str.h"

class CStream;

namespace proxydata {

DWORD ReadWord(CStream& stream);
CStr ReadText(CStream& stream);
void WriteWord(CStream& stream, DWORD value);
void WriteText(CStream& stream, const CStr& text);

}  // namespace proxydata
