// The virtual screen: not a buffer of its own but the windows' buffers seen
// together (the rule is stated in twlwin/presenter.h). Reading composes the
// buffers row by row; writing (the DirectDraw primary surface) puts each
// pixel into the buffer of the window that shows it there. Pixels are
// 32-bit words 0x00RRGGBB, rows `stride` bytes apart, top row first.
// Thread-safe: each window's buffer is locked while it is copied.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "Bitmap.h"
#include "platform/user/Region.h"
#include "twlwin/types.h"

namespace twl::gdi {

// Where a write to the screen lands: in every window it covers, or, with a
// window given (a clipper bound to it), in that window alone; `clip`
// (screen coordinates; a clipper's own list) narrows either further.
struct ScreenTarget {
  HWND window = nullptr;
  const Region* clip = nullptr;
};

// The screen's size is the display mode's (user/DisplayMode.h); `area` must
// lie inside it, else nothing is read or written and the result is false.
// Reading gives each window's pixels in its visible region and the desktop
// colour where no window shows.
bool ReadScreen(const RECT& area, uint32_t* rows, size_t stride);
// Each covered window takes the pixels of its visible region (inside the
// target); pixels over the bare desktop are dropped. Windows that took
// pixels tell the presenter's listeners.
bool WriteScreen(const RECT& area, const uint32_t* rows, size_t stride, const ScreenTarget& target);
// A top-level window with its children as if nothing covered it, window
// coordinates; `area` must lie inside the window. Pixels outside the
// window's own area (its shape) are 0.
bool ReadWindow(HWND window, const RECT& area, uint32_t* rows, size_t stride);

// Bitmaps of the same, for dumps and tests.
std::shared_ptr<Bitmap> ComposeScreen();
std::shared_ptr<Bitmap> ComposeWindow(HWND window);

}  // namespace twl::gdi
