// The IMG_IMAGE reader: a 10-byte magic ("IMG_IMAGE" and a zero byte)
// followed by the bitmap's stored body, which checks itself as it loads.
#include <cstring>

#include "foundation/bitmapfiles/BitmapFileErrors.h"
#include "foundation/bitmapfiles/BitmapFileMagic.h"
#include "foundation/bitmapfiles/StreamReading.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/storage/Storage.h"

namespace {

constexpr DWORD kArchiveBuffer = 4096;

}  // namespace

void CDIBitmap::LoadImage(CStream& stream) {
  BYTE magic[sizeof kImageFileMagic];
  ReadExactly(stream, magic, sizeof magic);
  if (std::memcmp(magic, kImageFileMagic, sizeof magic) != 0) ThrowCorruptedFile(stream);
  CStorage storage;
  storage.Open(&stream, CStorage::kLoad, 1, kArchiveBuffer);
  Serialize(storage);
}
