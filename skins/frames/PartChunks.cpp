#include "skins/frames/PartChunks.h"

#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/streams/Stream.h"
#include "skins/base/ChunkIo.h"
#include "skins/base/SkinBase.h"
#include "skins/base/SkinErrors.h"
#include "skins/masks/Mask.h"

namespace {

int IndexOf(const DWORD* tags, int count, DWORD tag) {
  for (int i = 0; i < count; ++i)
    if (tags[i] == tag) return i;
  return -1;
}

// Hands each sub-chunk of a known tag to `read` (index, length); skips
// the others.
template <class Read>
void ReadTagged(CStream& stream, DWORD length, const DWORD* tags, int count, Read read) {
  DWORD remaining = length;
  while (remaining != 0) {
    const ChunkHead head = NextChunk(stream, remaining);
    const int index = IndexOf(tags, count, head.tag);
    if (index < 0)
      SkipExact(stream, head.length);
    else
      read(index, head.length);
  }
}

}  // namespace

void ReadPartBitmaps(CStream& stream, DWORD length, const DWORD* tags, int count, CDIBitmap** parts) {
  ReadTagged(stream, length, tags, count, [&](int index, DWORD size) {
    if (parts[index]) ThrowCorruptedFile();
    DWORD used = 0;
    parts[index] = CSkinBase::ReadBitmap(stream, size, &used);
    SkipExact(stream, size - used);
  });
}

void ReadPartMasks(CStream& stream, DWORD length, const DWORD* tags, int count, CDIBitmap* const* parts, CMask** masks) {
  ReadTagged(stream, length, tags, count, [&](int index, DWORD size) {
    if (masks[index]) ThrowCorruptedFile();
    masks[index] = CSkinBase::ReadMask(stream, size);
    if (static_cast<DWORD>(masks[index]->GetWidth()) != parts[index]->GetWidth() ||
        static_cast<DWORD>(masks[index]->GetHeight()) != parts[index]->GetHeight())
      ThrowCorruptedFile();
  });
}

void WritePartBitmaps(CStream& stream, const DWORD* tags, int count, CDIBitmap* const* parts) {
  for (int i = 0; i < count; ++i)
    if (parts[i]) CSkinBase::WriteChunk(stream, tags[i], [&] { CSkinBase::WriteBitmap(stream, *parts[i]); });
}

void WritePartMasks(CStream& stream, const DWORD* tags, int count, CMask* const* masks) {
  for (int i = 0; i < count; ++i)
    if (masks[i]) CSkinBase::WriteChunk(stream, tags[i], [&] { CSkinBase::WriteMask(stream, *masks[i]); });
}
