// The pixel buffers of windows: each window keeps its own, the size of its
// window rectangle, and draws into it through window DCs. Children are
// separate buffers laid over their parent's when a window or the screen is
// composed, so the order in which windows paint does not matter.
// Thread-safe; takes the window manager's lock before its own, never after.
#pragma once

#include <memory>

#include "Bitmap.h"
#include "twlwin/types.h"

namespace twl::gdi {

struct WindowSurface {
  std::shared_ptr<Bitmap> surface;
  RECT window{};  // the whole buffer, 0,0 at the window's corner
  RECT client{};  // the client area inside it
};

// The window's buffer, made or resized to the window's size (contents are
// kept where they still fit). False for a window that does not exist.
bool FindWindowSurface(HWND window, WindowSurface* out);

// A new bitmap of the window with its visible children over it.
std::shared_ptr<Bitmap> ComposeWindow(HWND window);
// A new bitmap of the virtual screen: the desktop colour and the visible
// top-level windows of this process in z-order.
std::shared_ptr<Bitmap> ComposeScreen();

}  // namespace twl::gdi
