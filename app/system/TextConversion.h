// Conversions between 8-bit text (UTF-8 here) and wide text (UTF-16), for
// the interfaces that take wide strings. The result is a new zero-ended
// buffer: from the task allocator (CoTaskMemAlloc, for interfaces that
// free it themselves; free it with CoTaskMemFree) or from new[] (free it
// with delete[]). Any thread.
#pragma once

#include <windows.h>

// None (null) when the text cannot be converted. A task allocator without
// memory throws the prepared out-of-memory error.
WCHAR* ToWideString(const char* text, bool useTaskAllocator);
char* ToAnsiString(const WCHAR* text, bool useTaskAllocator);
