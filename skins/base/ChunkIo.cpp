#include "skins/base/ChunkIo.h"

#include <cstdint>

#include "foundation/streams/Stream.h"
#include "skins/base/SkinErrors.h"

CStr TagText(DWORD tag) {
  char text[5];
  for (int i = 0; i < 4; ++i) {
    const char c = static_cast<char>(tag >> (8 * i));
    text[i] = c >= 0x20 && c < 0x7F ? c : '?';
  }
  text[4] = 0;
  return CStr(text);
}

void ReadExact(CStream& stream, void* buffer, DWORD size) {
  if (size && stream.Read(buffer, size) != size) ThrowEndOfStream(stream);
}

void SkipExact(CStream& stream, DWORD count) {
  if (count && stream.Skip(count) != count) ThrowEndOfStream(stream);
}

DWORD ReadU32(CStream& stream) {
  BYTE bytes[4];
  ReadExact(stream, bytes, 4);
  return static_cast<DWORD>(bytes[0]) | static_cast<DWORD>(bytes[1]) << 8 | static_cast<DWORD>(bytes[2]) << 16 |
         static_cast<DWORD>(bytes[3]) << 24;
}

INT ReadI32(CStream& stream) { return static_cast<INT>(ReadU32(stream)); }

void WriteU32(CStream& stream, DWORD value) {
  const BYTE bytes[4] = {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8), static_cast<BYTE>(value >> 16),
                         static_cast<BYTE>(value >> 24)};
  stream.Write(bytes, 4);
}

void WriteI32(CStream& stream, INT value) { WriteU32(stream, static_cast<DWORD>(value)); }

ChunkHead ReadChunkHead(CStream& stream) {
  ChunkHead head;
  head.tag = ReadU32(stream);
  head.length = ReadU32(stream);
  return head;
}

ChunkHead NextChunk(CStream& stream, DWORD& remaining) {
  if (remaining < 8) ThrowCorruptedFile();
  const ChunkHead head = ReadChunkHead(stream);
  if (head.length > remaining - 8) ThrowCorruptedFile();
  remaining -= 8 + head.length;
  return head;
}

RECT ReadRectRecord(CStream& stream) {
  const int64_t x = ReadI32(stream), y = ReadI32(stream), width = ReadI32(stream), height = ReadI32(stream);
  if (x + width < INT32_MIN || x + width > INT32_MAX || y + height < INT32_MIN || y + height > INT32_MAX)
    ThrowCorruptedFile();
  return RECT{static_cast<LONG>(x), static_cast<LONG>(y), static_cast<LONG>(x + width), static_cast<LONG>(y + height)};
}

void WriteRectRecord(CStream& stream, const RECT& rect) {
  WriteI32(stream, rect.left);
  WriteI32(stream, rect.top);
  WriteI32(stream, rect.right - rect.left);
  WriteI32(stream, rect.bottom - rect.top);
}

void RequireStreamBytes(CStream& stream, uint64_t count) {
  const LONGLONG length = stream.GetLength(true, nullptr);
  if (length < 0) return;
  const LONGLONG position = stream.GetPosition();
  if (position > length || static_cast<uint64_t>(length - position) < count) ThrowEndOfStream(stream);
}
