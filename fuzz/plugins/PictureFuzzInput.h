// What the picture decoders' fuzz targets share: the input as a memory
// stream and the pixel bound. Pictures whose headers claim more than a
// million pixels are refused before they are allocated: a few bytes may
// rightly claim a large picture, filling it would slow the search, and the
// tests hold hostile files of that kind.
#pragma once

#include <cstddef>
#include <cstdint>

#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/kernel/Error.h"
#include "foundation/streams/MemoryStream.h"
#include "plugins/pictolan/pictures/DecodeOptions.h"

namespace picturefuzz {

inline constexpr uint64_t kMaxPixels = 1 << 20;

// Runs the decoder over the bytes; error objects are expected, anything
// else (a crash, a sanitizer report, another exception) is a finding.
template <class Decoder>
int DecodeInput(const uint8_t* data, size_t size, Decoder decode) {
  if (size > 0x7FFFFFFF) return 0;
  CMemoryStream stream;
  stream.OpenCopy(data, static_cast<DWORD>(size), kStreamRead | kStreamSeek);
  CDIBitmap bitmap;
  pictolan::DecodeOptions options;
  options.maxPixels = kMaxPixels;
  try {
    decode(stream, bitmap, options);
  } catch (CError* error) {
    DisposeError(error);
  }
  return 0;
}

}  // namespace picturefuzz
