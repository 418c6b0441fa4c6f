// The device context of a paint cycle. BeginPaint asks for one clipped to
// the part of the window being painted and EndPaint gives it back. The GDI
// layer attaches its device contexts here; until then the context is only
// an id. Thread-safe.
#pragma once

#include "Region.h"
#include "twlwin/types.h"

namespace twl::user {

// clip is in client coordinates.
HDC OpenPaintDevice(HWND window, const Region& clip);
void ClosePaintDevice(HWND window, HDC dc);

}  // namespace twl::user
