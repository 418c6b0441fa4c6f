// CFifoBuffer: a byte FIFO of fixed-size blocks. The blocks in use form a
// ring over an array of block pointers; a block read to its end leaves the
// ring and is used again when writing needs a block, so bytes are never
// moved and memory is given back only by Clear. Not thread-safe: the
// sockets guard it with their event lock.
#pragma once

#include <windows.h>

#include <vector>

#include "foundation/kernel/TypedObject.h"

class CFifoBuffer : public CTypedObject {
  TWL_DECLARE_CLASS(CFifoBuffer)
 public:
  CFifoBuffer() = default;
  CFifoBuffer(const CFifoBuffer&) = delete;
  CFifoBuffer& operator=(const CFifoBuffer&) = delete;
  ~CFifoBuffer() override { Clear(); }

  // Clears, then makes the FIFO ready with blocks of `size` bytes.
  void SetBlockSize(DWORD size);
  // Frees every block; the FIFO is not ready until SetBlockSize.
  void Clear();

  // The unread bytes of the first block; false when nothing is unread.
  bool GetReadSpan(BYTE** data, DWORD* length);
  // The free bytes of the last block, a block joining the ring when none is
  // free. Commit then says how many were written.
  void GetWriteSpan(BYTE** data, DWORD* length);
  void Commit(DWORD count);
  void Consume(DWORD count);

  DWORD Read(void* destination, DWORD count);
  DWORD Peek(void* destination, DWORD count);
  DWORD Skip(DWORD count);

  // The unread bytes of the ring's block `block` (0 = first) and, for the
  // last block, its free bytes; false past the ring's end.
  bool GetBlockSpan(DWORD block, BYTE** data, DWORD* length, DWORD* free);

  DWORD GetBlocksInUse() const { return m_BlocksInUse; }
  DWORD GetBlocksAllocated() const { return m_BlocksAllocated; }

 private:
  DWORD RingIndex(DWORD position) const { return (m_FirstIndex + position) % m_BlocksAllocated; }
  void JoinBlock();
  DWORD Walk(void* destination, DWORD count, bool consume);

  bool m_Ready = false;
  DWORD m_BlockSize = 0;
  DWORD m_BlocksInUse = 0;
  DWORD m_BlocksAllocated = 0;
  DWORD m_ReadOffset = 0;
  DWORD m_FirstIndex = 0;
  DWORD m_WriteOffset = 0;
  std::vector<BYTE*> m_Blocks;
};
