// Where a surface's pixels live. An off-screen surface keeps them in
// memory; the primary surface's pixels are the screen, so an access copies
// the part it needs out of the windows and the changed pixels back in.
// Used by the one thread that uses the surface.
#pragma once

#include <cstdint>
#include <vector>

#include "Blitter.h"
#include "platform/user/Region.h"

namespace twl::ddraw {

class PixelStore {
 public:
  PixelStore() = default;
  PixelStore(const PixelStore&) = delete;
  PixelStore& operator=(const PixelStore&) = delete;
  virtual ~PixelStore() = default;

  // The pixels of `area` (surface coordinates, inside the surface); with
  // `read` they hold what the surface shows, else their content is
  // undefined. Valid until Close.
  virtual PixelView Open(const RECT& area, bool read) = 0;
  // Ends an access. Pixels inside `written` may have changed; with
  // `onlyChanged` (after a read) those that still hold the value they had
  // are left as they were. A window, when given, is the only one a write to
  // the screen may reach (a clipper bound to it).
  virtual void Close(const PixelView& view, const Region& written, bool onlyChanged, HWND window) = 0;
};

class MemoryStore final : public PixelStore {
 public:
  // Rows of `pitch` bytes; the caller checked that the size fits.
  MemoryStore(int height, ptrdiff_t pitch, int bytesPerPixel)
      : pixels_(static_cast<size_t>(height) * pitch), pitch_(pitch), bytesPerPixel_(bytesPerPixel) {}

  PixelView Open(const RECT& area, bool) override {
    PixelView whole{pixels_.data(), pitch_, 0, 0, bytesPerPixel_};
    return PixelView{whole.At(area.left, area.top), pitch_, area.left, area.top, bytesPerPixel_};
  }
  void Close(const PixelView&, const Region&, bool, HWND) override {}

 private:
  std::vector<uint8_t> pixels_;
  ptrdiff_t pitch_;
  int bytesPerPixel_;
};

}  // namespace twl::ddraw
