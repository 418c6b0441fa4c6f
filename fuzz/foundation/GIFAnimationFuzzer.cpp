// The GIF animation reader on arbitrary bytes, as separate frames and as
// composed frames. Composing is tried only on screens of up to 4096
// pixels: every composed frame is a copy of the screen, and with the
// hundreds of frames an input can hold, larger screens spend the time
// copying canvases without reaching other code. Separate frames are tried on screens of up to a few million
// pixels: every frame lies within the screen, and a few bytes of data may
// rightly make a frame as large as the screen (the tests hold hostile
// files with huge screens and frames). Errors are expected; anything else
// (a crash, a sanitizer report, an exception other than an error object)
// is a finding.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "foundation/bitmapfiles/GIFAnimation.h"
#include "foundation/kernel/Error.h"
#include "foundation/streams/MemoryStream.h"

namespace {

constexpr uint64_t kMaxComposedScreen = 1 << 12;
constexpr uint64_t kMaxSeparateScreen = 1 << 22;

// The logical screen's size, little-endian after the 6-byte header.
uint64_t ScreenPixels(const uint8_t* data, size_t size) {
  if (size < 10) return 0;
  return static_cast<uint64_t>(data[6] | data[7] << 8) * static_cast<uint64_t>(data[8] | data[9] << 8);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 0x7FFFFFFF) return 0;
  for (const bool compose : {false, true}) {
    if (ScreenPixels(data, size) > (compose ? kMaxComposedScreen : kMaxSeparateScreen)) continue;
    BYTE* block = new BYTE[size ? size : 1];
    if (size) std::memcpy(block, data, size);
    CMemoryStream stream;
    stream.Open(block, static_cast<DWORD>(size), kStreamRead | kStreamSeek, 0, false);
    CGIFAnimation animation;
    try {
      animation.Load(stream, compose);
    } catch (CError* error) {
      DisposeError(error);
    }
  }
  return 0;
}
