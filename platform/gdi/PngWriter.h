// Writes pixels to a PNG file (libpng), for tests and tools that want to
// look at what was drawn. Stateless; safe from any thread.
#pragma once

#include <string>

#include "Bitmap.h"

namespace twl::gdi {

// The area of the bitmap (clipped to it) as 8-bit RGB. False, with the
// Win32 error set, when the file cannot be written or the area is empty.
bool WritePng(const Bitmap& bitmap, const RECT& area, const std::string& path);

}  // namespace twl::gdi
