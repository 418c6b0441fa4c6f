// The pixels of the primary surface: the screen of the window model. An
// access reads the part of the screen it needs into a buffer in the
// display format; when it ends, the pixels written go back into the windows
// that show there, each clipped to its visible region (or only into the
// window a clipper is bound to). Pixels over the bare desktop are not
// kept. Used by the one thread that uses the primary surface.
#pragma once

#include <cstdint>
#include <vector>

#include "PixelStore.h"
#include "twlwin/ddraw.h"

namespace twl::ddraw {

class ScreenStore final : public PixelStore {
 public:
  explicit ScreenStore(const DDPIXELFORMAT& format);

  PixelView Open(const RECT& area, bool read) override;
  void Close(const PixelView& view, const Region& written, bool onlyChanged, HWND window) override;

 private:
  // The screen's word (0x00RRGGBB) of each pixel value of 8 and 16 bits.
  const std::vector<uint32_t>& WordsOfPixels();

  DDPIXELFORMAT format_;
  int bytesPerPixel_;
  RECT area_{};
  // Kept between accesses, so that painting does not allocate and clear
  // them each time; only the first `count` pixels belong to the access.
  std::vector<uint8_t> staged_;      // the access's pixels in the display format
  std::vector<uint8_t> stagedRead_;  // what they were when read
  std::vector<uint32_t> screen_;     // the screen's words when read (0x00RRGGBB)
  std::vector<uint32_t> out_;        // the words written back
  std::vector<uint32_t> words_;      // see WordsOfPixels; filled on first use
  size_t count_ = 0;
  bool read_ = false;
};

}  // namespace twl::ddraw
