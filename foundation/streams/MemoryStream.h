// CMemoryStream: reads and writes a memory block, optionally growing it by
// a step. The stream owns its block and frees it with delete[] on Close and
// in its destructor; a caller that lends a block it still owns takes it
// back with DetachBuffer first (also on error paths). Positions and
// lengths are 32-bit: a memory stream holds less than 2 GiB.
//
// The stream enforces its own capabilities: a Write without the write bit,
// a Read or Skip without the read bit and a Seek without the seek bit throw
// CStreamError 7; bad seek targets and origins throw 6; a full fixed-size
// block throws 11 after the bytes that fit were written. Its errors carry
// no path. No lock: one thread at a time.
#pragma once

#include <atomic>

#include "foundation/streams/NonFlowingStream.h"

class CMemoryStream : public CNonFlowingStream {
  TWL_DECLARE_CLASS(CMemoryStream)
 public:
  static constexpr DWORD kTransferRate = 10000000;

  CMemoryStream() noexcept = default;
  ~CMemoryStream() override;

  // Takes the block (from new BYTE[]; null with length 0 for an empty
  // stream). Capabilities are the read, write and seek bits of `flags`, and
  // always buffered. A grow step of 0 keeps the block's size fixed. An open
  // stream frees its old block first.
  void Open(BYTE* block, DWORD length, DWORD flags, DWORD growStep, bool deleteOnClose,
            const char* contentType = nullptr);
  // Opens a copy of `length` bytes, which the stream owns; fixed size,
  // capabilities as for Open. Throws the out-of-memory error when the copy
  // cannot be made.
  void OpenCopy(const void* bytes, DWORD length, DWORD flags);
  BYTE* GetBuffer() const { return m_Start; }
  // Gives the block back to the caller: the stream forgets it unfreed and is
  // closed.
  void DetachBuffer();

  CStr& GetURL(CStr& url) override;
  DWORD GetCapabilities() override { return m_Capabilities; }
  DWORD Read(void* buffer, DWORD size) override;
  DWORD Skip(DWORD count) override;
  void Write(const void* buffer, DWORD size) override;
  void Flush() override;
  LONGLONG Seek(LONGLONG offset, DWORD origin, HANDLE abortEvent) override;
  bool SeekWouldWait(LONGLONG offset, DWORD origin) override;
  LONGLONG GetPosition() override;
  LONGLONG GetLength(bool immediate, HANDLE abortEvent) override;
  DWORD GetTransferRate() override;
  bool IsAtEnd() override;
  void Shutdown() override { m_ShutDown = true; }
  void Close() override;
  void CloseNoThrow() override;
  // 0 with the content type given to Open; 1 when there is none (the text
  // is then left as it was).
  DWORD GetContentType(CStr& type) override;

 private:
  void ThrowIfShutDown();
  void Require(DWORD capability);
  void Grow(DWORD needed);
  void FreeBlock();

  bool m_Open = false;
  BYTE* m_Start = nullptr;
  BYTE* m_BlockEnd = nullptr;
  BYTE* m_DataEnd = nullptr;
  BYTE* m_Position = nullptr;
  DWORD m_Capabilities = 0;
  DWORD m_GrowStep = 0;
  bool m_DeleteOnClose = false;
  // Set by Shutdown, which may come from another thread while a reader is
  // inside the stream.
  std::atomic<bool> m_ShutDown{false};
  CStr m_ContentType;
};
