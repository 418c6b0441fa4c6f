// Template part of SkinFile.h.
#pragma once

#include "skins/base/ChunkIo.h"
#include "skins/base/SkinErrors.h"

template <class Visitor>
void WalkInnerChunks(CInnerStream& inner, Visitor&& visit) {
  DWORD remaining = inner.length;
  if (remaining == 0) ThrowCorruptedFile();
  while (remaining != 0) {
    const ChunkHead head = NextChunk(*inner.stream, remaining);
    if (!visit(head.tag, head.length)) return;
  }
}
