// What a caller may ask of a picture decoder beyond the picture itself: a
// bound on the pixels a picture may claim (fuzzing and other callers that
// want small pictures only) and the library's own messages of the decode.
#pragma once

#include <cstdint>

#include <windows.h>

#include "foundation/bitmaps/PixelFormat.h"
#include "foundation/kernel/Str.h"

class CDIBitmap;

namespace pictolan {

struct DecodeOptions {
  static constexpr uint64_t kAnyPixelCount = UINT64_MAX;

  // A picture whose header claims more pixels is refused with the bitmap's
  // size error, before anything of its size is allocated.
  uint64_t maxPixels = kAnyPixelCount;
  // When given, receives the messages the library gave during the decode
  // (one a line), also when the decode fails.
  CStr* messages = nullptr;
};

// Makes the bitmap a decoder fills: false, and nothing made, when the
// picture has no pixels (width or height 0); the bitmap's size error when
// it claims more pixels than the options allow or more than a bitmap may
// hold. Rows are not padded.
bool CreatePictureBitmap(CDIBitmap& bitmap, DWORD width, DWORD height, const CPixelFormat& format, bool topDown,
                         const DecodeOptions& options);

}  // namespace pictolan
