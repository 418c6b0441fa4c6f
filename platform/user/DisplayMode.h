// The simulated display mode of the virtual screen: its size, its depth and
// a generation that grows with every mode change, so that a surface made
// under one mode can tell that it was lost. Thread-safe.
#pragma once

#include <cstdint>

namespace twl::user {

struct DisplayMode {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;
  uint32_t generation = 0;
};

DisplayMode CurrentDisplayMode();

// Sets the mode (a value of 0 keeps the current one). Every call is a mode
// change: the generation grows, the work area becomes the whole screen, and
// each top-level window of this process gets WM_DISPLAYCHANGE (wParam the
// bits per pixel, lParam the width and height): the calling thread's
// windows before this returns, other threads' windows on their own threads
// without waiting for them. False, with nothing changed, for a size of 0 to
// 16384 pixels exclusive or a depth other than 4, 8, 16, 24 or 32. The
// layout of the pixels (5-5-5 or 5-6-5, palette or not) is the display
// format's (display/DisplayMode.h).
bool ChangeDisplayMode(int width, int height, int bitsPerPixel);

}  // namespace twl::user
