// CGetLengthStreamEmulator: gives a readable stream a known length. When
// the length is asked for and the wrapped stream cannot tell it, the rest
// of the stream is copied into a cache stream (a temporary file) and
// counted; reads from there on are served from the cache. No thread and no
// lock: one thread at a time (Shutdown excepted, as for every stream).
#pragma once

#include <cstdint>

#include "foundation/streams/StreamEmulator.h"

class CGetLengthStreamEmulator : public CStreamEmulator {
  TWL_DECLARE_CLASS(CGetLengthStreamEmulator)
 public:
  CGetLengthStreamEmulator() noexcept = default;
  ~CGetLengthStreamEmulator() override;

  // Wraps `inner`, which must be readable and, when writable, seekable
  // (else CStreamError 6). The cache stream, when given, belongs to the
  // emulator from then on; without one a temporary file is made.
  void Attach(CStream* inner, CStream* cache, bool deleteOnClose, bool ownsInner);

  CStr& GetURL(CStr& url) override;
  DWORD Read(void* buffer, DWORD size) override;
  DWORD ReadSome(void* buffer, DWORD size) override;
  DWORD Skip(DWORD count) override;
  DWORD SkipSome(DWORD count) override;
  void Write(const void* buffer, DWORD size) override;
  void Flush() override;
  LONGLONG Seek(LONGLONG offset, DWORD origin, HANDLE abortEvent) override;
  bool SeekWouldWait(LONGLONG offset, DWORD origin) override;
  LONGLONG GetPosition() override;
  // Scans the rest of the stream when neither this emulator nor the
  // wrapped stream knows the length and `immediate` is false. A signalled
  // abort event ends the scan with -1; the bytes copied so far stay
  // readable in order.
  LONGLONG GetLength(bool immediate, HANDLE abortEvent) override;
  DWORD GetTransferRate() override;
  bool IsAtEnd() override;
  void Shutdown() override;
  // Closes the wrapped stream when owned and the cache stream, both even
  // when the first fails; a failure is thrown at the end.
  void Close() override;
  void CloseNoThrow() override;
  // Always null: this emulator has no background reader.
  CStreamError* GetPendingError() override;
  DWORD GetContentType(CStr& type) override;

 private:
  static constexpr LONGLONG kNoCache = INT64_MAX;

  void CloseStream(bool noThrow);
  void ThrowIfShutDown();
  void Require(DWORD capability);
  // `kind` tells Read, ReadSome, Skip or SkipSome (target null for skips).
  DWORD Move(int kind, BYTE* target, DWORD size);
  DWORD MoveFromCache(int kind, BYTE* target, DWORD size);
  LONGLONG Scan(HANDLE abortEvent);
  void EndUnfinishedScan();
  bool HasPartialCache() const { return m_CacheStart != kNoCache && m_Length < 0; }
  void ForgetCache();
  void LeavePartialCache();
  void PlaceCacheAtPosition();
  LONGLONG TargetOf(LONGLONG offset, DWORD origin, LONGLONG length);

  CStream* m_Cache = nullptr;
  LONGLONG m_Position = 0;
  // Stream positions from m_CacheStart on live in the cache stream at
  // m_CacheOffset + (position - m_CacheStart); it holds m_CachedCount of
  // them. A finished scan holds the rest of the stream (m_Length known).
  // An unfinished one (aborted, or failed) holds the bytes copied so far,
  // the wrapped stream stands right behind them and the length is unknown.
  LONGLONG m_CacheStart = kNoCache;
  LONGLONG m_CacheOffset = 0;
  LONGLONG m_CachedCount = 0;
  LONGLONG m_Length = -1;
  bool m_ShutDown = false;
};
