// Typed registry values as the program reads and writes them: a DWORD is
// only a REG_DWORD of exactly four bytes, a binary value only a REG_BINARY
// of exactly the size asked for; anything else counts as not there. Every
// failure leaves the calling thread's error ("RegistryError.GetValue" or
// "RegistryError.SetValue") and answers false. Any thread may call them.
#pragma once

#include <windows.h>

#include <cstddef>
#include <vector>

#include "foundation/kernel/Str.h"

// A REG_SZ value of at least one byte, up to its first zero. On failure the
// text is empty; a value that changes between the size query and the read
// fails too, rather than passing for an empty text.
bool GetRegistryString(HKEY key, const char* name, CStr& text);
// Stored with its terminating zero.
bool SetRegistryString(HKEY key, const char* name, const char* text);

// On failure the value is 0.
bool GetRegistryDWord(HKEY key, const char* name, DWORD* value);
bool SetRegistryDWord(HKEY key, const char* name, DWORD value);

// Reads exactly `size` bytes; on failure the buffer is left as it was.
bool GetRegistryBinary(HKEY key, const char* name, void* buffer, DWORD size);
bool SetRegistryBinary(HKEY key, const char* name, const void* data, DWORD size);

// Reads a REG_BINARY value of any size. A missing value, or one of another
// type, answers true with `found` false; any other failure answers false.
bool GetRegistryBinaryAlloc(HKEY key, const char* name, std::vector<BYTE>& data, bool& found);
