#include "Screen.h"

#include "Surface.h"
#include "display/PixelFormats.h"

namespace twl::ddraw {

std::unique_ptr<PixelStore> MakeScreenStore(const display::Mode& mode) {
  return std::make_unique<MemoryStore>(mode.height, PitchFor(mode.width, mode.format),
                                       display::BytesPerPixel(mode.format));
}

Region VisibleRegionOf(HWND window) {
  RECT rect{};
  if (!GetWindowRect(window, &rect)) return Region();
  return Region(rect);
}

}  // namespace twl::ddraw
