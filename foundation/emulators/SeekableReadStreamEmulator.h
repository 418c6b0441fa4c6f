// CSeekableReadStreamEmulator: makes a readable stream that cannot seek (a
// network stream, as a rule) seekable. A reader thread copies the wrapped
// stream chunk by chunk into a cache stream (a temporary file) at the same
// offsets, at most a read-ahead limit beyond the furthest position read;
// reads, skips and seeks are served from the cache and wait for the copy
// where it has not got yet. DisableSeeking stops the copy: the cache is
// drained, dropped, and reads go straight to the wrapped stream.
//
// Threading: the caller's operations are serialised by an API lock (a
// waiting Read keeps it); Shutdown may come from any thread at any time
// and ends a waiting operation. Locks, in the order they are taken: API,
// state, wrapped stream; the copy lock (the reader thread's pass) before
// state and before wrapped stream.
#pragma once

#include "foundation/emulators/PendingStreamError.h"
#include "foundation/kernel/CriticalSection.h"
#include "foundation/kernel/Str.h"
#include "foundation/streams/StreamEmulator.h"

class CSeekableReadStreamEmulator : public CStreamEmulator {
  TWL_DECLARE_CLASS(CSeekableReadStreamEmulator)
 public:
  CSeekableReadStreamEmulator() = default;
  // Closes (ending the reader thread) without deleting again.
  ~CSeekableReadStreamEmulator() override;

  // Wraps `inner`, which must stand at position 0 (else CStreamError 6).
  // The cache stream, when given, belongs to the emulator from then on;
  // without one a temporary file is made. The reader thread copies
  // `chunkSize` bytes at a time, at most `readAheadLimit` bytes beyond the
  // furthest position read (no limit when 0 or less).
  void Attach(CStream* inner, CStream* cache, DWORD chunkSize, bool deleteOnClose, bool ownsInner,
              LONGLONG readAheadLimit);
  // Nobody will seek any more: stop copying, read what is cached, then
  // drop the cache and read from the wrapped stream. Seek and
  // SeekWouldWait fail with CStreamError 7 from now on.
  void DisableSeeking();

  void SetProperty(DWORD index, DWORD value) override;
  DWORD GetProperty(DWORD index) override;
  CStr& GetURL(CStr& url) override;
  DWORD GetCapabilities() override;
  // Waits until `size` bytes are there or the stream has ended.
  DWORD Read(void* buffer, DWORD size) override;
  // Only what is there now; never waits.
  DWORD ReadSome(void* buffer, DWORD size) override;
  DWORD Skip(DWORD count) override;
  DWORD SkipSome(DWORD count) override;
  // Always CStreamError 7.
  void Write(const void* buffer, DWORD size) override;
  void Flush() override {}
  // Waits until the target is copied; a signalled abort event ends the wait
  // and the position stays.
  LONGLONG Seek(LONGLONG offset, DWORD origin, HANDLE abortEvent) override;
  bool SeekWouldWait(LONGLONG offset, DWORD origin) override;
  LONGLONG GetPosition() override;
  // -1 while the copy has not learnt the length; never waits for it.
  LONGLONG GetLength(bool immediate, HANDLE abortEvent) override;
  DWORD GetTransferRate() override;
  bool IsAtEnd() override;
  void Shutdown() override;
  // Ends the reader thread, closes the wrapped stream (when owned) and the
  // cache, all of it even when a step fails; the first failure is thrown
  // at the end.
  void Close() override;
  void CloseNoThrow() override;
  CStreamError* GetPendingError() override;
  DWORD GetContentType(CStr& type) override;
  void SetOwnsInner(bool owns) override;

 private:
  static DWORD WINAPI ThreadMain(LPVOID emulator);
  void ReaderThread();
  DWORD RoomAhead() const;
  DWORD CopyPass(DWORD room);
  void StoreChunk(DWORD count);
  bool HasData();
  void DropCacheWhenDrained();
  void SetPendingError(const CError& error);
  void ThrowIfShutDown();
  void ThrowIfUnusable();
  DWORD Take(int kind, BYTE* target, DWORD size);
  DWORD PassThrough(CriticalSectionLock& state, int kind, BYTE* target, DWORD size);
  LONGLONG TargetOf(LONGLONG offset, DWORD origin);
  void CloseStream(bool noThrow);

  CriticalSection m_ApiLock;
  CriticalSection m_StateLock;
  CriticalSection m_InnerLock;
  CriticalSection m_CopyLock;

  // Guarded by the state lock.
  CStream* m_Cache = nullptr;
  HANDLE m_Thread = nullptr;
  DWORD m_ThreadId = 0;
  bool m_Running = false;
  DWORD m_ChunkSize = 0;
  BYTE* m_Chunk = nullptr;  // the reader thread's alone while it runs
  LONGLONG m_ReadAheadLimit = 0;
  LONGLONG m_HighWater = 0;
  LONGLONG m_SeekTarget = 0;  // where a waiting Seek goes: the copy may run ahead of it too
  LONGLONG m_Length = -1;
  LONGLONG m_ReadPosition = 0;
  LONGLONG m_CachedCount = 0;
  bool m_CacheAtReadPosition = true;  // else the cache stream stands at its write end
  bool m_AllCached = false;
  CStr m_URL;
  bool m_ShutDown = false;
  bool m_SeekingDisabled = false;
  bool m_Caching = false;
  PendingStreamError m_Pending;
};
