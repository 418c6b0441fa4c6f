// DecodeTiff: the first picture of a TIFF file from a stream into a 32-bit
// bitmap through libtiff's RGBA reader: bytes red, green, blue and
// libtiff's alpha (carried, not used), the bottom row first, unpadded.
//
// libtiff's messages of a decode go to that decode alone (handlers of its
// own handle), never to the process-wide handlers, which stay as they are:
// decodes on several threads at once each keep their own messages, and
// nothing reaches stderr.
#pragma once

#include "plugins/pictolan/pictures/DecodeOptions.h"

class CDIBitmap;
class CStream;

namespace pictolan {

// True with the picture in the bitmap. False, with no error object, when
// the data is not a TIFF, its directory cannot be read, the picture has no
// pixels or libtiff cannot read it into RGBA. Errors of the stream are
// swallowed: libtiff sees short reads and failed seeks. The bitmap's size
// error refuses a picture too large for a bitmap. The stream stays open.
bool DecodeTiff(CStream& stream, CDIBitmap& bitmap, const DecodeOptions& options = {});

}  // namespace pictolan
