#include "foundation/bitmapfiles/StreamReading.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "foundation/bitmapfiles/BitmapFileErrors.h"
#include "foundation/kernel/MemoryError.h"
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

std::unique_ptr<BYTE[]> ReadBlockExactly(CStream& stream, DWORD size) {
  constexpr DWORD kStep = 16 << 20;
  std::vector<BYTE> collected;
  if (size > kStep) {
    while (collected.size() < size) {
      const DWORD chunk = std::min<DWORD>(kStep, size - static_cast<DWORD>(collected.size()));
      const size_t start = collected.size();
      collected.resize(start + chunk);
      ReadExactly(stream, collected.data() + start, chunk);
    }
  }
  std::unique_ptr<BYTE[]> block(new (std::nothrow) BYTE[size ? size : 1]);
  if (!block) ThrowMemoryError();
  if (size > kStep)
    std::memcpy(block.get(), collected.data(), size);
  else
    ReadExactly(stream, block.get(), size);
  return block;
}
