// The single-image GIF reader: the first image of a GIF file as a
// palettized bitmap of 1, 2, 4 or 8 bits, top-down. Extensions before it
// are passed over; its position, the screen size and everything after it
// play no part.
#include "foundation/bitmapfiles/BitmapFileErrors.h"
#include "foundation/bitmapfiles/CountedReference.h"
#include "foundation/bitmapfiles/GIFBlocks.h"
#include "foundation/bitmapfiles/GIFIndexBuffer.h"
#include "foundation/bitmapfiles/StreamReading.h"
#include "foundation/bitmaps/DIBitmap.h"

namespace {

// Reads up to the first image separator, passing over every extension.
void SkipToFirstImage(CStream& stream) {
  for (;;) {
    const BYTE introducer = ReadByteExactly(stream);
    if (introducer == kGIFImageSeparator) return;
    if (introducer != kGIFExtensionIntroducer) ThrowUnsupportedBitmapFormat(stream);
    ReadByteExactly(stream);  // the label
    SkipGIFSubBlocks(stream);
  }
}

}  // namespace

void CDIBitmap::LoadGIF(CStream& stream) {
  Free();
  try {
    const GIFScreen screen = ReadGIFHeader(stream, false);
    CountedReference<CColorPalette> palette;
    DWORD colorBits = 0;
    if (screen.HasGlobalTable()) {
      colorBits = screen.GlobalTableBits();
      palette.Adopt(ReadGIFColorTable(stream, colorBits));
    }
    SkipToFirstImage(stream);

    GIFImageDescriptor image = ReadGIFImageDescriptor(stream);
    // An image without a column or a row is no picture (as for BMP files).
    if (image.width == 0 || image.height == 0) ThrowCorruptedFile(stream);
    if (image.HasLocalTable()) {
      colorBits = image.LocalTableBits();
      palette.Adopt(ReadGIFColorTable(stream, colorBits));
    }
    if (!palette) ThrowUnsupportedBitmapFormat(stream);
    image.minimumCodeSize = ReadByteExactly(stream);

    const DWORD depth = GIFPixelDepth(colorBits);
    CPixelFormat format;
    format.SetIndexed(depth, palette.Get());
    GIFIndexBuffer indices;
    indices.Decode(stream, image.minimumCodeSize, image.width, image.height, depth, colorBits);
    Create(image.width, image.height, kPadToFourBytes, format, true);
    indices.Unpack(*this, image.IsInterlaced());
  } catch (...) {
    Free();
    throw;
  }
}
