#include "kilnar/recorder/BlockBufferSet.h"

BlockBufferSet::BlockBufferSet(uint16_t count, uint32_t blockSize) : m_BlockSize(blockSize) {
  if (count < 2 || blockSize == 0) {
    m_Error = "A ring of transfer blocks needs at least two blocks of at least one byte.";
    return;
  }
  for (uint16_t i = 0; i < count; ++i) {
    HGLOBAL handle = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, blockSize);
    void* block = handle ? GlobalLock(handle) : nullptr;
    if (!block) {
      if (handle) GlobalFree(handle);
      FreeBlocks();
      m_Error = "There is not enough memory for " + std::to_string(count) + " transfer blocks of " +
                std::to_string(blockSize) + " bytes.";
      return;
    }
    m_Handles.push_back(handle);
    m_Blocks.push_back(static_cast<uint8_t*>(block));
  }
  m_Lengths.assign(count, 0);
  m_Count = count;
}

BlockBufferSet::~BlockBufferSet() { FreeBlocks(); }

void BlockBufferSet::FreeBlocks() {
  for (HGLOBAL handle : m_Handles) {
    GlobalUnlock(handle);
    GlobalFree(handle);
  }
  m_Handles.clear();
  m_Blocks.clear();
  m_Lengths.clear();
  m_Count = 0;
}

bool BlockBufferSet::IsEmpty() const { return m_ReadIndex == m_WriteIndex; }

bool BlockBufferSet::IsFull() const {
  if (!IsValid()) return true;
  return m_WriteIndex + 1 == m_ReadIndex || (m_WriteIndex + 1 == m_Count && m_ReadIndex == 0);
}

uint8_t* BlockBufferSet::GetWriteBlock() { return IsFull() ? nullptr : m_Blocks[m_WriteIndex]; }

bool BlockBufferSet::CommitWrite(uint32_t length) {
  if (IsFull()) return false;
  m_Lengths[m_WriteIndex] = length < m_BlockSize ? length : m_BlockSize;
  m_WriteIndex = static_cast<uint16_t>((m_WriteIndex + 1) % m_Count);
  return true;
}

uint8_t* BlockBufferSet::GetReadBlock(uint32_t& length) {
  length = 0;
  if (IsEmpty()) return nullptr;
  length = m_Lengths[m_ReadIndex];
  return m_Blocks[m_ReadIndex];
}

bool BlockBufferSet::CommitRead() {
  if (IsEmpty()) return false;
  m_ReadIndex = static_cast<uint16_t>((m_ReadIndex + 1) % m_Count);
  return true;
}
