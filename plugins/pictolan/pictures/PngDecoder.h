// DecodePng: a PNG picture from a stream into a bitmap through libpng.
// Samples are cut to 8 bits (their high byte) and alpha is dropped: grey
// and palette pictures keep 1, 2, 4 or 8 bits per pixel with a palette,
// truecolour pictures become 24-bit RGB (bytes red, green, blue). Rows top
// first, unpadded. Transparency from the tRNS chunk becomes the bitmap's
// colour key. Runs on the caller's thread; all state belongs to the call.
#pragma once

#include "plugins/pictolan/pictures/DecodeOptions.h"

class CDIBitmap;
class CStream;

namespace pictolan {

// True with the picture in the bitmap. False, with no error object, when
// the data does not start with the PNG signature; a stream shorter than
// the signature throws the stream's end-of-stream error. Corrupt data, an
// unsupported colour type or a stream that fails or ends while the picture
// is read throw the "Image error" "Error decoding PNG image: " with the
// library's message ("read error" for the stream's trouble). The bitmap's
// size error refuses a picture too large for a bitmap.
bool DecodePng(CStream& stream, CDIBitmap& bitmap, const DecodeOptions& options = {});

}  // namespace pictolan
