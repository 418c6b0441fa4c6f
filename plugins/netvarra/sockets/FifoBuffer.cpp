#include "plugins/netvarra/sockets/FifoBuffer.h"

#include <algorithm>
#include <cstring>

#include "foundation/kernel/Error.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CFifoBuffer, CTypedObject)

void CFifoBuffer::SetBlockSize(DWORD size) {
  Clear();
  m_Ready = true;
  m_BlockSize = size;
}

void CFifoBuffer::Clear() {
  if (!m_Ready) return;
  for (BYTE* block : m_Blocks) delete[] block;
  m_Blocks.clear();
  m_BlocksInUse = m_BlocksAllocated = m_ReadOffset = m_FirstIndex = m_WriteOffset = 0;
  m_Ready = false;
}

// A block joins the ring at its end: a free one of the array, else a new
// one inserted where the ring ends, so that the ring keeps its order.
void CFifoBuffer::JoinBlock() {
  if (!m_Ready || !m_BlockSize) ThrowMemoryError();
  if (m_BlocksInUse < m_BlocksAllocated) {
    ++m_BlocksInUse;
  } else {
    BYTE* block = new (std::nothrow) BYTE[m_BlockSize];
    if (!block) ThrowMemoryError();
    // Every block is in use, so the ring covers the array from the first
    // index round; its end lies just before the first block, which moves up
    // by one (or at the array's end when the ring starts at 0).
    const DWORD insertAt = m_FirstIndex ? m_FirstIndex : m_BlocksAllocated;
    m_Blocks.insert(m_Blocks.begin() + insertAt, block);
    if (m_FirstIndex) ++m_FirstIndex;
    ++m_BlocksAllocated;
    ++m_BlocksInUse;
  }
  if (m_BlocksInUse == 1) m_ReadOffset = 0;
  m_WriteOffset = 0;
}

bool CFifoBuffer::GetReadSpan(BYTE** data, DWORD* length) {
  if (!m_BlocksInUse) return false;
  const DWORD end = m_BlocksInUse == 1 ? m_WriteOffset : m_BlockSize;
  *data = m_Blocks[m_FirstIndex] + m_ReadOffset;
  *length = end - m_ReadOffset;
  return *length > 0;
}

void CFifoBuffer::GetWriteSpan(BYTE** data, DWORD* length) {
  if (!m_BlocksInUse || m_WriteOffset == m_BlockSize) JoinBlock();
  *data = m_Blocks[RingIndex(m_BlocksInUse - 1)] + m_WriteOffset;
  *length = m_BlockSize - m_WriteOffset;
}

void CFifoBuffer::Commit(DWORD count) {
  m_WriteOffset += std::min(count, m_BlockSize - m_WriteOffset);
  if (m_WriteOffset == m_BlockSize) JoinBlock();
}

void CFifoBuffer::Consume(DWORD count) {
  while (count && m_BlocksInUse) {
    const DWORD end = m_BlocksInUse == 1 ? m_WriteOffset : m_BlockSize;
    const DWORD step = std::min(count, end - m_ReadOffset);
    m_ReadOffset += step;
    count -= step;
    if (m_ReadOffset < m_BlockSize) {
      if (step == 0) break;
      continue;
    }
    // Read to its end: the block leaves the ring.
    m_FirstIndex = (m_FirstIndex + 1) % m_BlocksAllocated;
    --m_BlocksInUse;
    m_ReadOffset = 0;
    if (!m_BlocksInUse) m_WriteOffset = 0;
  }
}

DWORD CFifoBuffer::Walk(void* destination, DWORD count, bool consume) {
  auto* out = static_cast<BYTE*>(destination);
  DWORD done = 0;
  DWORD block = 0;
  while (done < count) {
    BYTE* data;
    DWORD length, free;
    if (!GetBlockSpan(block, &data, &length, &free)) break;
    const DWORD take = std::min(length, count - done);
    if (out) std::memcpy(out + done, data, take);
    done += take;
    if (consume) {
      if (!take) break;
      Consume(take);  // the next unread bytes are always block 0's
    } else {
      ++block;
    }
  }
  return done;
}

DWORD CFifoBuffer::Read(void* destination, DWORD count) { return Walk(destination, count, true); }
DWORD CFifoBuffer::Peek(void* destination, DWORD count) { return Walk(destination, count, false); }
DWORD CFifoBuffer::Skip(DWORD count) { return Walk(nullptr, count, true); }

bool CFifoBuffer::GetBlockSpan(DWORD block, BYTE** data, DWORD* length, DWORD* free) {
  if (block >= m_BlocksInUse) return false;
  const bool last = block == m_BlocksInUse - 1;
  const DWORD start = block == 0 ? m_ReadOffset : 0;
  const DWORD end = last ? m_WriteOffset : m_BlockSize;
  *data = m_Blocks[RingIndex(block)] + start;
  *length = end - start;
  *free = last ? m_BlockSize - m_WriteOffset : 0;
  return true;
}
