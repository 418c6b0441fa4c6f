// CFlowingStreamEmulator: a reader thread keeps taking whatever the wrapped
// stream has into a list of memory blocks, so data flows in the background
// while the caller is busy, and reads are served from memory. At most
// kMaxBytesAhead unread bytes are held; beyond that the thread waits for
// the caller to read.
//
// Threading: the caller's operations are serialised by an API lock; a
// state lock guards the blocks and every call into the wrapped stream (the
// reader thread holds it while it reads). Order: API, then state. Shutdown
// may come from any thread and ends a waiting read.
#pragma once

#include "foundation/emulators/PendingStreamError.h"
#include "foundation/kernel/CriticalSection.h"
#include "foundation/streams/StreamEmulator.h"

class CFlowingStreamEmulator : public CStreamEmulator {
  TWL_DECLARE_CLASS(CFlowingStreamEmulator)
 public:
  // A caller that stops reading costs at most this much memory.
  static constexpr LONGLONG kMaxBytesAhead = 16 * 1024 * 1024;

  CFlowingStreamEmulator() = default;
  // Closes (ending the reader thread) without deleting again.
  ~CFlowingStreamEmulator() override;

  // Wraps `inner` with blocks of `blockSize` bytes (CError "Thread Error"
  // when the reader thread cannot start). A stream that cannot seek loses
  // its write capability: reading ahead would leave nowhere to write.
  void Attach(CStream* inner, DWORD blockSize, bool deleteOnClose, bool ownsInner);

  void SetProperty(DWORD index, DWORD value) override;
  DWORD GetProperty(DWORD index) override;
  CStr& GetURL(CStr& url) override;
  DWORD GetCapabilities() override;
  // Waits while nothing is buffered, until `size` bytes came or the
  // wrapped stream has ended.
  DWORD Read(void* buffer, DWORD size) override;
  // What is buffered now; never waits.
  DWORD ReadSome(void* buffer, DWORD size) override;
  DWORD Skip(DWORD count) override;
  DWORD SkipSome(DWORD count) override;
  // Drops the read-ahead and writes at the caller's position.
  void Write(const void* buffer, DWORD size) override;
  void Flush() override;
  // Drops the read-ahead; reading goes on at the new position.
  LONGLONG Seek(LONGLONG offset, DWORD origin, HANDLE abortEvent) override;
  bool SeekWouldWait(LONGLONG offset, DWORD origin) override;
  LONGLONG GetPosition() override;
  LONGLONG GetLength(bool immediate, HANDLE abortEvent) override;
  DWORD GetTransferRate() override;
  bool IsAtEnd() override;
  void Shutdown() override;
  // Ends the reader thread, frees the blocks and closes the wrapped stream
  // when owned.
  void Close() override;
  void CloseNoThrow() override;
  CStreamError* GetPendingError() override;
  DWORD GetContentType(CStr& type) override;
  void SetOwnsInner(bool owns) override;

 private:
  struct Block {
    Block* next;
    DWORD count;  // bytes filled; the data follows the record
    BYTE* Data() { return reinterpret_cast<BYTE*>(this + 1); }
  };

  static DWORD WINAPI ThreadMain(LPVOID emulator);
  void ReaderThread();
  void FillTail();
  Block* AllocateBlock();
  static void FreeBlock(Block* block);
  void DiscardBlocks();
  DWORD TakeFromHead(BYTE* target, DWORD size);
  bool AtEndLocked();
  void ThrowIfUnusable();
  void Require(DWORD capability);
  DWORD Take(bool copy, bool wait, BYTE* target, DWORD size);
  void CloseStream(bool noThrow);

  CriticalSection m_ApiLock;
  CriticalSection m_StateLock;

  // Guarded by the state lock.
  Block* m_Head = nullptr;
  Block* m_Tail = nullptr;
  Block* m_Spare = nullptr;
  bool m_SpareInList = false;
  DWORD m_BlockSize = 0;
  DWORD m_ReadOffset = 0;
  LONGLONG m_Unread = 0;
  LONGLONG m_Position = 0;
  bool m_Stop = false;
  HANDLE m_Thread = nullptr;
  DWORD m_ThreadId = 0;
  bool m_ShutDown = false;
  PendingStreamError m_Pending;
};
