// The messages the folder loaders gather, one line each (the text and a
// line feed), so that a skin author sees every fault of a step at once.
#pragma once

#include <windows.h>

#include "foundation/kernel/Str.h"

CStr BitmapNotFoundLine(const CStr& bitmap);
// The first bitmap is the one that differs from the second.
CStr BitmapsDifferentSizeLine(const CStr& bitmap1, DWORD width1, DWORD height1, const CStr& bitmap2, DWORD width2,
                              DWORD height2);
CStr PointOutsideBitmapLine(const char* entry, const CStr& fileName, POINT point, DWORD width, DWORD height);
CStr EntryNotFoundLine(const char* entry, const CStr& fileName);
// The text of a missing ini file (thrown alone).
CStr FileNotFoundText(const CStr& fileName);

// Whether the point lies inside a picture of that size.
bool PointInside(POINT point, DWORD width, DWORD height);
