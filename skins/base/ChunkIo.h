// Reading and writing the numbers and chunk heads of compiled skin data:
// unsigned 32-bit little-endian numbers, and chunks of a four-character
// tag (first character lowest when read as a number) and the length of
// the data after the head. Every read that comes up short throws the
// stream error "end of stream" for the stream.
#pragma once

#include <cstdint>

#include <windows.h>

#include "foundation/kernel/Str.h"

class CStream;

constexpr DWORD MakeTag(const char (&text)[5]) {
  return static_cast<DWORD>(static_cast<BYTE>(text[0])) | static_cast<DWORD>(static_cast<BYTE>(text[1])) << 8 |
         static_cast<DWORD>(static_cast<BYTE>(text[2])) << 16 | static_cast<DWORD>(static_cast<BYTE>(text[3])) << 24;
}
// The four characters of a tag, unprintable ones as "?".
CStr TagText(DWORD tag);

void ReadExact(CStream& stream, void* buffer, DWORD size);
void SkipExact(CStream& stream, DWORD count);
DWORD ReadU32(CStream& stream);
INT ReadI32(CStream& stream);
void WriteU32(CStream& stream, DWORD value);
void WriteI32(CStream& stream, INT value);

struct ChunkHead {
  DWORD tag;
  DWORD length;
};
ChunkHead ReadChunkHead(CStream& stream);

// The head of the next chunk in a run that has `remaining` bytes left:
// fewer than 8 bytes, or a length beyond what follows the head, is a
// corrupted file. `remaining` loses the head and the data.
ChunkHead NextChunk(CStream& stream, DWORD& remaining);

// A rectangle stored as x, y, width and height (signed); one whose right
// or bottom edge needs more than 32 bits is a corrupted file.
RECT ReadRectRecord(CStream& stream);
void WriteRectRecord(CStream& stream, const RECT& rect);

// Before a large allocation for data still to be read: when the stream
// knows its length and fewer than `count` bytes follow its position, the
// read would come up short, so "end of stream" is thrown now.
void RequireStreamBytes(CStream& stream, uint64_t count);
