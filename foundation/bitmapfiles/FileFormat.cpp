// Recognising a picture file by its first bytes, and loading it with the
// reader of its format.
#include <cstring>

#include "foundation/bitmapfiles/BitmapFileErrors.h"
#include "foundation/bitmapfiles/BitmapFileMagic.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/bitmaps/LittleEndian.h"
#include "foundation/filesystem/FileSystem.h"
#include "foundation/streams/Stream.h"

namespace {

// Pictures are read from start to end; others may read the file meanwhile.
constexpr DWORD kPictureOpenFlags = kStreamRead | kStreamSeek | kStreamShareRead;

// A BMP file may carry up to this many bytes beyond its stated size.
constexpr LONGLONG kBMPSizeTolerance = 40;

}  // namespace

INT CDIBitmap::DetectFileFormat(CStream& stream) {
  BYTE head[10] = {};
  const DWORD got = stream.Read(head, sizeof head);
  if (got) stream.Seek(-static_cast<LONGLONG>(got), kSeekFromCurrent, nullptr);
  if (got < 8) return kUnknownFileFormat;
  if (got == sizeof head && std::memcmp(head, kImageFileMagic, sizeof kImageFileMagic) == 0) return kImageFile;
  if (std::memcmp(head, kXTRMPICMagic, sizeof kXTRMPICMagic) == 0) return kXTRMPICFile;
  if (std::memcmp(head, kGIFSignature, sizeof kGIFSignature) == 0) return kGIFFile;
  if (head[0] == 'B' && head[1] == 'M') {
    // A stream that cannot tell its length (-1) passes, and so does one
    // shorter than the stated size.
    const LONGLONG length = stream.GetLength(true, nullptr);
    const LONGLONG statedSize = ReadLE32(head + 2);
    if (length - statedSize <= kBMPSizeTolerance) return kBMPFile;
  }
  return kUnknownFileFormat;
}

void CDIBitmap::Load(const char* url) {
  CStream* stream = GetFileSystem().Open(url, kPictureOpenFlags, 0);
  try {
    Load(*stream);
  } catch (...) {
    stream->CloseNoThrow();
    throw;
  }
  stream->Close();
}

void CDIBitmap::Load(CStream& stream) {
  switch (DetectFileFormat(stream)) {
    case kImageFile: return LoadImage(stream);
    case kBMPFile: return LoadBMP(stream);
    case kXTRMPICFile: return LoadXTRMPIC(stream);
    case kGIFFile: return LoadGIF(stream);
    default: ThrowUnknownBitmapFormat(stream);
  }
}
