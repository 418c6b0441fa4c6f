// The pixel buffers of windows: each window, top-level or child, keeps its
// own, the size of its window rectangle, 32 bits per pixel. Window DCs draw
// into it and the screen is composed from the buffers (Screen.h), so the
// order in which windows paint does not matter and a covered window keeps
// its pixels.
//
// A buffer is guarded by its own lock: whoever reads or writes its pixels
// holds it, so the window's thread may draw while a presenter or another
// thread composes the screen. Lock order: the window model's lock, then
// the table of buffers, then one buffer's lock; a buffer's lock is held
// while taking no other lock. Thread-safe.
#pragma once

#include <memory>
#include <mutex>

#include "Bitmap.h"
#include "platform/user/WindowLayout.h"
#include "twlwin/types.h"

namespace twl::gdi {

struct WindowBuffer {
  std::mutex lock;
  // Guarded by lock. Null until the window first needs it; replaced by a
  // bitmap of the new size (keeping what still fits) when the window was
  // resized, so a DC opened before draws on into the old one.
  std::shared_ptr<Bitmap> pixels;
};

// The window's buffer, made or brought to the window's size, and where the
// window is. False for a window this process does not have.
bool OpenWindowBuffer(HWND window, std::shared_ptr<WindowBuffer>* buffer, user::WindowFrame* frame);
// The window's buffer if it has one.
std::shared_ptr<WindowBuffer> FindWindowBuffer(uint32_t window);

// The colour of window pixels nothing has drawn yet.
COLORREF UnpaintedColour();

}  // namespace twl::gdi
