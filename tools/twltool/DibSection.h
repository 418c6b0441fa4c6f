// A picture as a 32-bit top-down DIB section, for the commands that draw
// or save it through the platform's bitmaps.
#pragma once

#include <windows.h>

class CDIBitmap;

namespace twltool {

// Converts the picture in place to 32-bit RGB (0x00RRGGBB, no colour key,
// top row first, no padding) and copies it into a new DIB section of its
// size; null when the section cannot be made. Conversion errors are thrown.
HBITMAP MakeDibSection(CDIBitmap& picture);

}  // namespace twltool
