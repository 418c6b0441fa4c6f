#include "plugins/pictolan/pictures/DecodeOptions.h"

#include "foundation/bitmaps/BitmapError.h"
#include "foundation/bitmaps/DIBitmap.h"

namespace pictolan {

bool CreatePictureBitmap(CDIBitmap& bitmap, DWORD width, DWORD height, const CPixelFormat& format, bool topDown,
                         const DecodeOptions& options) {
  if (width == 0 || height == 0) return false;
  if (static_cast<uint64_t>(width) * height > options.maxPixels) ThrowBitmapError(kTooLargeKey, kTooLargeText);
  bitmap.Create(width, height, 0, format, topDown);
  return true;
}

}  // namespace pictolan
