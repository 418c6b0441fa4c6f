#include "foundation/bitmapfiles/PictureSize.h"

#include <cstdlib>

#include "foundation/bitmapfiles/GIFBlocks.h"
#include "foundation/bitmaps/ColorPalette.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/bitmaps/LittleEndian.h"
#include "foundation/kernel/Error.h"
#include "foundation/streams/Stream.h"

namespace {

// The first `count` bytes of the file; false when it is shorter.
bool ReadHead(CStream& stream, BYTE* bytes, DWORD count) { return stream.Read(bytes, count) == count; }

bool ReadBMPSize(CStream& stream, ClaimedPictureSize& size) {
  BYTE head[26];
  if (!ReadHead(stream, head, sizeof head)) return false;
  const int64_t width = static_cast<int32_t>(ReadLE32(head + 18));
  const int64_t height = static_cast<int32_t>(ReadLE32(head + 22));
  size = {static_cast<uint64_t>(std::llabs(width)), static_cast<uint64_t>(std::llabs(height))};
  return true;
}

bool ReadXTRMPICSize(CStream& stream, ClaimedPictureSize& size) {
  BYTE head[16];
  if (!ReadHead(stream, head, sizeof head)) return false;
  const int width = static_cast<int16_t>(ReadLE16(head + 12));
  const int height = static_cast<int16_t>(ReadLE16(head + 14));
  size = {static_cast<uint64_t>(std::abs(width)), static_cast<uint64_t>(std::abs(height))};
  return true;
}

bool ReadImageFileSize(CStream& stream, ClaimedPictureSize& size) {
  BYTE head[22];  // the magic, the body's version, width and height
  if (!ReadHead(stream, head, sizeof head)) return false;
  size = {ReadLE32(head + 14), ReadLE32(head + 18)};
  return true;
}

// Passes over the colour table and the extensions before the first image.
bool ReadGIFSize(CStream& stream, ClaimedPictureSize& size) {
  const GIFScreen screen = ReadGIFHeader(stream, false);
  if (screen.HasGlobalTable()) ReadGIFColorTable(stream, screen.GlobalTableBits())->Release();
  for (;;) {
    BYTE introducer = 0;
    if (stream.Read(&introducer, 1) != 1) return false;
    if (introducer == kGIFImageSeparator) break;
    if (introducer != kGIFExtensionIntroducer) return false;
    BYTE label = 0;
    if (stream.Read(&label, 1) != 1) return false;
    SkipGIFSubBlocks(stream);
  }
  const GIFImageDescriptor image = ReadGIFImageDescriptor(stream);
  size = {image.width, image.height};
  return true;
}

}  // namespace

bool ReadClaimedPictureSize(CStream& stream, ClaimedPictureSize& size) {
  try {
    switch (CDIBitmap::DetectFileFormat(stream)) {
      case CDIBitmap::kBMPFile: return ReadBMPSize(stream, size);
      case CDIBitmap::kXTRMPICFile: return ReadXTRMPICSize(stream, size);
      case CDIBitmap::kImageFile: return ReadImageFileSize(stream, size);
      case CDIBitmap::kGIFFile: return ReadGIFSize(stream, size);
      default: return false;
    }
  } catch (CError* error) {
    DisposeError(error);
    return false;
  }
}

