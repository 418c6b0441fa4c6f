#include "foundation/bitmapfiles/StreamReading.h"

#include <algorithm>
#include <vector>

#include "foundation/bitmapfiles/BitmapFileErrors.h"
#include "foundation/streams/Stream.h"

void ReadExactly(CStream& stream, void* buffer, DWORD size) {
  if (stream.Read(buffer, size) != size) ThrowEndOfFile(stream);
}

BYTE ReadByteExactly(CStream& stream) {
  BYTE value = 0;
  ReadExactly(stream, &value, 1);
  return value;
}

void SkipExactly(CStream& stream, DWORD count) {
  if (count && stream.Skip(count) != count) ThrowEndOfFile(stream);
}

std::vector<BYTE> ReadBlockExactly(CStream& stream, DWORD size) {
  // The block grows with what arrives, at most doubling, so a size the
  // stream cannot back costs about as much as the bytes it does hold.
  constexpr size_t kFirstStep = 64 << 10;
  std::vector<BYTE> block;
  while (block.size() < size) {
    const size_t start = block.size();
    const size_t chunk = std::min<size_t>(size - start, std::max(kFirstStep, start));
    block.resize(start + chunk);
    ReadExactly(stream, block.data() + start, static_cast<DWORD>(chunk));
  }
  return block;
}
