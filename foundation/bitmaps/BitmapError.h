// The errors of the bitmap classes: a CError with the caption "Bitmap
// error" and a localised text.
#pragma once

#include "foundation/kernel/Error.h"

[[noreturn]] void ThrowBitmapError(const char* textKey, const char* textDefault);

// The texts used by more than one file.
inline constexpr const char* kUnsupportedFormatKey = "CDIBitmap.unsupportedFormat";
inline constexpr const char* kUnsupportedFormatText = "Unsupported pixel format.";
inline constexpr const char* kTooLargeKey = "CDIBitmap.tooLarge";
inline constexpr const char* kTooLargeText = "The bitmap is too large.";
inline constexpr const char* kInvalidBitmapDataKey = "CDIBitmap.invalidData";
inline constexpr const char* kInvalidBitmapDataText = "Invalid bitmap data.";
