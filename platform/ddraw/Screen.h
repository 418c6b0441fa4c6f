// The screen as DirectDraw sees it: the pixels behind the primary surface
// and the visible pixels of a window that a clipper bound to it leaves to
// blits. Thread-safe.
#pragma once

#include <memory>

#include "PixelStore.h"
#include "display/DisplayMode.h"
#include "user/Region.h"

namespace twl::ddraw {

// The pixels of the primary surface in a display mode.
std::unique_ptr<PixelStore> MakeScreenStore(const display::Mode& mode);

// The pixels of the window that show on the screen, in screen coordinates.
Region VisibleRegionOf(HWND window);

}  // namespace twl::ddraw
