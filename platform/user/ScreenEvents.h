// Tells the presenter's listeners (twlwin/presenter.h) what changed on the
// screen. Changes are collected while the window model's lock is held and
// told once it is released, so listeners never run under the lock.
#pragma once

#include <cstdint>
#include <vector>

#include "twlwin/presenter.h"

namespace twl::user {

struct Window;

// Whether anyone listens: callers skip the work of describing a change
// nobody hears of.
bool AnyScreenListener();

// The events of one change of the window model.
class ScreenChanges {
 public:
  // Lock held. `kind` is one of the TWL_SCREEN_ kinds other than PIXELS. A
  // change to a top-level window is told as it is; a change to a child as
  // new pixels of its top-level window over `area` (screen coordinates; for
  // a move, the old place and the new).
  void AddLocked(UINT kind, const Window& window, const RECT& area);
  // Lock held; `area` in the window's own coordinates.
  void AddPixelsLocked(const Window& window, const RECT& area);
  // Lock not held: tells the listeners and forgets the events.
  void Tell();

 private:
  std::vector<TWLSCREENEVENT> events_;
};

// New pixels in a window (child or top-level) over `area`, window
// coordinates; lock not held. The drawing side calls this, so the drawing
// side needs nothing else of this header.
void TellPixelsChanged(uint32_t window, const RECT& area);
// A change that is not of one window's place or pixels (TWL_SCREEN_CURSOR,
// TWL_SCREEN_TRAY, TWL_SCREEN_CAPTURE); no lock of the layer held.
void TellDesktopChange(UINT kind, HWND window);

}  // namespace twl::user
