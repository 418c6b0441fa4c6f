// Reading a stream from inside a C library's callback: no error object
// may travel through the library's frames, so a failing stream reads as
// nothing more to read, and the callback tells the library in its own way.
#pragma once

#include <windows.h>

class CStream;

namespace pictolan {

// The stream's Read; an error object it throws is disposed of and counts
// as 0 bytes. Never throws.
DWORD ReadIgnoringErrors(CStream& stream, void* buffer, DWORD size) noexcept;

}  // namespace pictolan
