// Replaces a plain owned array of 32-bit items and its count, as kept by
// objects that hold such a list directly (a palette's entries, the list of
// display modes).
#pragma once

#include <windows.h>

// Frees `items` (allocated by an earlier call, or null) and zeroes `count`,
// then allocates n items and sets `count` to n. With a source the n items
// are copied from it, else they are zero for the caller to fill. Returns
// the new array (null for n = 0). Allocation failure throws the prepared
// out-of-memory error and leaves the object empty.
DWORD* AssignDWordArray(DWORD*& items, DWORD& count, DWORD n, const DWORD* source);

// Frees an array made by AssignDWordArray.
void FreeDWordArray(DWORD*& items, DWORD& count) noexcept;
