// Window places kept in the application's settings key: a window's
// rectangle is stored under "<name>_WindowRect" as a 16-byte REG_BINARY
// value, four little-endian 32-bit numbers left, top, width, height. A
// value of any other size or type, or with numbers no screen can have,
// counts as missing. Any thread may call these.
#pragma once

#include <windows.h>

#include "foundation/kernel/Str.h"

// "<windowName>_WindowRect".
CStr WindowRectValueName(const char* windowName);

// Reads the stored rectangle (left, top, right, bottom). Returns false, with
// an empty rectangle, only when the settings key cannot be opened; `found`
// tells whether a usable value was there (the rectangle is empty when not).
bool ReadWindowRect(const char* valueName, RECT* rect, bool* found);

// The stored rectangle, or else a width x height rectangle centred on the
// reference window (or, without one, on the screen), kept at or right of
// and below 0 and then moved by dx, dy. The result is ReadWindowRect's.
bool LoadWindowRectOrDefault(const char* valueName, RECT* rect, int width, int height, HWND reference, int dx,
                             int dy);

// Moves a rectangle that lies off the screen's left or right (top or
// bottom) edge so that its left (top) edge is 0; the size stays.
void KeepRectOnScreen(RECT* rect);

// Stores the rectangle; false when the key cannot be opened or the value
// not written (the thread's error says why).
bool SaveWindowRect(const char* valueName, const RECT* rect);
