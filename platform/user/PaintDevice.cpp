#include "PaintDevice.h"

#include <atomic>

namespace twl::user {

HDC OpenPaintDevice(HWND, const Region&) {
  // Stand-in ids, never 0, in a range the GDI tables will not use.
  static std::atomic<uint32_t> next{0x40000000u};
  uint32_t id = next.fetch_add(4);
  if (id >= 0x7FFFFFF0u) {
    next = 0x40000000u;
    id = next.fetch_add(4);
  }
  return reinterpret_cast<HDC>(static_cast<uintptr_t>(id));
}

void ClosePaintDevice(HWND, HDC) {}

}  // namespace twl::user
