// Whether a real desktop is there to show things on and open programs in:
// not when TWL_HEADLESS is set (to anything) or when neither DISPLAY nor
// WAYLAND_DISPLAY names a display. Read at every call; any thread.
#pragma once

namespace twl {

bool HasDesktop();

}  // namespace twl
