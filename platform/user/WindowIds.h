// Window ids unique across the processes of a desktop, so that an HWND
// names the same window in every process. Processes take blocks of ids from
// a counter file in the desktop folder and hand them out one by one.
// Thread-safe.
#pragma once

#include <cstdint>

namespace twl::user {

// A window id no other process of the desktop uses (0 when none is left).
uint32_t AllocateWindowId();

}  // namespace twl::user
