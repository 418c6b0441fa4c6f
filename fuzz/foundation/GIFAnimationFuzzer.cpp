// The GIF animation reader on arbitrary bytes, as separate frames and as
// composed frames. Errors are expected; anything else (a crash, a
// sanitizer report, an exception other than an error object) is a
// finding.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "foundation/bitmapfiles/GIFAnimation.h"
#include "foundation/kernel/Error.h"
#include "foundation/streams/MemoryStream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 0x7FFFFFFF) return 0;
  for (const bool compose : {false, true}) {
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
