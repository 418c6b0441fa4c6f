// A fixed, zero-filled, page-aligned block of global memory, locked for
// the object's life and freed with it: the stream buffers and the drive's
// transfer buffer, which may be handed to device I/O as they are.
#pragma once

#include <windows.h>

#include <cstdint>

class GlobalBlock {
 public:
  GlobalBlock() = default;
  GlobalBlock(const GlobalBlock&) = delete;
  GlobalBlock& operator=(const GlobalBlock&) = delete;
  ~GlobalBlock() { Free(); }

  // False (and no block) when the memory cannot be had.
  bool Allocate(uint32_t bytes) {
    Free();
    m_Handle = GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, bytes);
    m_Data = m_Handle ? static_cast<uint8_t*>(GlobalLock(m_Handle)) : nullptr;
    if (m_Data) return true;
    Free();
    return false;
  }
  void Free() {
    if (m_Handle) {
      GlobalUnlock(m_Handle);
      GlobalFree(m_Handle);
    }
    m_Handle = nullptr;
    m_Data = nullptr;
  }

  uint8_t* Data() const { return m_Data; }
  explicit operator bool() const { return m_Data != nullptr; }

 private:
  HGLOBAL m_Handle = nullptr;
  uint8_t* m_Data = nullptr;
};
