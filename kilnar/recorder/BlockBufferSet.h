// A ring of equal, locked memory blocks through which one side fills data
// (GetWriteBlock, CommitWrite) while the other empties it (GetReadBlock,
// CommitRead): the image file is read into it while the drive writes the
// block before. One block always stays unused, so at most count - 1 are
// filled at a time. When the blocks cannot all be had the set holds none:
// IsValid is false, GetErrorText says why, and every block request gives
// null. Belongs to one thread at a time.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class BlockBufferSet {
 public:
  BlockBufferSet(uint16_t count, uint32_t blockSize);
  BlockBufferSet(const BlockBufferSet&) = delete;
  BlockBufferSet& operator=(const BlockBufferSet&) = delete;
  ~BlockBufferSet();

  bool IsValid() const { return !m_Blocks.empty(); }
  const std::string& GetErrorText() const { return m_Error; }
  uint32_t GetBlockSize() const { return m_BlockSize; }

  bool IsEmpty() const;
  bool IsFull() const;
  uint8_t* GetWriteBlock();
  bool CommitWrite(uint32_t length);
  uint8_t* GetReadBlock(uint32_t& length);
  bool CommitRead();
  // The block the reading side takes next, and the one the filling side
  // fills next.
  uint16_t GetReadIndex() const { return m_ReadIndex; }
  uint16_t GetWriteIndex() const { return m_WriteIndex; }

 private:
  void FreeBlocks();

  std::vector<uint8_t*> m_Blocks;
  std::vector<HGLOBAL> m_Handles;
  std::vector<uint32_t> m_Lengths;
  uint16_t m_ReadIndex = 0;
  uint16_t m_WriteIndex = 0;
  uint16_t m_Count = 0;
  uint32_t m_BlockSize = 0;
  std::string m_Error;
};
