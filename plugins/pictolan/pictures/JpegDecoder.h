// DecodeJpeg: a JPEG picture from a stream into a 24-bit bitmap (bytes red,
// green, blue; rows top first, unpadded) through libjpeg. Runs on the
// caller's thread; all state belongs to the call.
#pragma once

#include "plugins/pictolan/pictures/DecodeOptions.h"

class CDIBitmap;
class CStream;

namespace pictolan {

// True with the picture in the bitmap. False, with no error object, when
// the data is not JPEG or its header is broken. A picture the library
// cannot decode (a colour space it cannot turn into RGB, corrupt scan
// data) throws the "JPEG error"; a stream that ends inside the scan data
// is decoded with the library's filler after its premature-end warning.
// The bitmap's size error refuses a picture too large for a bitmap.
bool DecodeJpeg(CStream& stream, CDIBitmap& bitmap, const DecodeOptions& options = {});

}  // namespace pictolan
