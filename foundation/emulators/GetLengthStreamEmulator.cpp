#include "foundation/emulators/GetLengthStreamEmulator.h"

#include <algorithm>
#include <utility>

#include "foundation/emulators/DeferredError.h"
#include "foundation/emulators/Transfer.h"
#include "foundation/filesystem/FileSystem.h"
#include "foundation/streams/StreamError.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CGetLengthStreamEmulator, CStreamEmulator)

namespace {

constexpr DWORD kScanChunk = 10000;
// A wrapped stream with nothing to give yet is asked again after this
// pause rather than at once, so a slow source does not cost a whole core.
constexpr DWORD kEmptyReadPauseMs = 10;

// One scan buffer per thread, not per emulator: scans are rare and short.
// Aligned so that the thread-local block never starts a few bytes before a
// page boundary: the linker of the helpers' builds (mold 1.10) begins the
// read-only-after-relocation range there, in a page it does not map, and
// the program then fails to load.
alignas(64) thread_local BYTE t_ScanBuffer[kScanChunk];

bool IsSignalled(HANDLE event) { return event && WaitForSingleObject(event, 0) == WAIT_OBJECT_0; }

}  // namespace

CGetLengthStreamEmulator::~CGetLengthStreamEmulator() {
  m_DeleteOnClose = false;
  CloseNoThrow();
}

void CGetLengthStreamEmulator::Attach(CStream* inner, CStream* cache, bool deleteOnClose, bool ownsInner) {
  m_DeleteOnClose = false;
  CloseNoThrow();
  try {
    DWORD capabilities = inner->GetCapabilities() & ~kStreamFlowing;
    if (!(capabilities & kStreamRead) || ((capabilities & kStreamWrite) && !(capabilities & kStreamSeek))) {
      CStr url;
      inner->GetURL(url);
      ThrowError<CStreamError>(CStreamError::kInvalidParam, url.c_str());
    }
    m_Capabilities = capabilities | kStreamLengthKnown;
    m_Position = inner->GetPosition();
    m_Inner = inner;
    m_Cache = cache ? cache : GetFileSystem().CreateTempStream(nullptr, kStreamRead | kStreamWrite | kStreamSeek, 0);
    if (!m_Cache) ThrowStreamError(CStreamError::kGeneric);
    m_DeleteOnClose = deleteOnClose;
    m_OwnsInner = ownsInner;
    m_CacheStart = kNoCache;
    m_CacheOffset = 0;
    m_CachedCount = 0;
    m_Length = -1;
    m_ShutDown = false;
  } catch (CError*) {
    m_Inner = nullptr;
    m_DeleteOnClose = false;
    m_Capabilities = 0;
    throw;
  }
}

void CGetLengthStreamEmulator::ThrowIfShutDown() {
  if (m_ShutDown) ThrowStreamError(CStreamError::kShutdown);
}

void CGetLengthStreamEmulator::Require(DWORD capability) {
  if (!(m_Capabilities & capability)) ThrowStreamError(CStreamError::kNotPermitted);
}

CStr& CGetLengthStreamEmulator::GetURL(CStr& url) {
  if (m_Inner) return m_Inner->GetURL(url);
  url = CStr();
  return url;
}

// Below the cache start the bytes come from the wrapped stream, from there
// on from the cache; a request across the cache start takes both.
DWORD CGetLengthStreamEmulator::Move(int kind, BYTE* target, DWORD size) {
  ThrowIfShutDown();
  Require(kStreamRead);
  if (m_Position >= m_CacheStart) return MoveFromCache(kind, target, size);
  CStream& inner = Inner();
  const LONGLONG beforeCache = m_CacheStart - m_Position;
  if (size <= beforeCache) {
    const DWORD got = Transfer(inner, kind, target, size);
    m_Position += got;
    return got;
  }
  const DWORD head = static_cast<DWORD>(beforeCache);
  const DWORD got = Transfer(inner, kind, target, head);
  m_Position += got;
  if (got < head) {
    if (TransferWaits(kind)) ThrowError<CStreamError>(CStreamError::kEndOfStream, inner);
    return got;
  }
  m_Cache->Seek(m_CacheOffset, kSeekFromStart, nullptr);
  return head + MoveFromCache(kind, TransferTarget(target, head), size - head);
}

DWORD CGetLengthStreamEmulator::MoveFromCache(int kind, BYTE* target, DWORD size) {
  if (!HasPartialCache()) {
    const DWORD got = Transfer(*m_Cache, kind, target, size);
    m_Position += got;
    return got;
  }
  // An unfinished scan: the cached bytes first, then the wrapped stream,
  // which stands right behind them. A drained cache is forgotten.
  const LONGLONG cacheEnd = m_CacheStart + m_CachedCount;
  const DWORD fromCache = static_cast<DWORD>(std::min<LONGLONG>(size, cacheEnd - m_Position));
  const DWORD got = Transfer(*m_Cache, kind, target, fromCache);
  m_Position += got;
  if (m_Position == cacheEnd) ForgetCache();
  if (got < fromCache || got == size) return got;
  const DWORD more = Transfer(Inner(), kind, TransferTarget(target, got), size - got);
  m_Position += more;
  return got + more;
}

DWORD CGetLengthStreamEmulator::Read(void* buffer, DWORD size) {
  return Move(kTransferRead, static_cast<BYTE*>(buffer), size);
}

DWORD CGetLengthStreamEmulator::ReadSome(void* buffer, DWORD size) {
  return Move(kTransferReadSome, static_cast<BYTE*>(buffer), size);
}

DWORD CGetLengthStreamEmulator::Skip(DWORD count) { return Move(kTransferSkip, nullptr, count); }

DWORD CGetLengthStreamEmulator::SkipSome(DWORD count) { return Move(kTransferSkipSome, nullptr, count); }

void CGetLengthStreamEmulator::Write(const void* buffer, DWORD size) {
  ThrowIfShutDown();
  Require(kStreamWrite);
  LeavePartialCache();
  CStream& inner = Inner();
  if (m_Position >= m_CacheStart) inner.Seek(m_Position, kSeekFromStart, nullptr);
  inner.Write(buffer, size);
  m_Position += size;
  // The written range is read from the wrapped stream from now on.
  if (m_Position > m_CacheStart) {
    const LONGLONG distance = m_Position - m_CacheStart;
    m_CacheStart = m_Position;
    m_CacheOffset += distance;
    m_CachedCount = std::max<LONGLONG>(0, m_CachedCount - distance);
    m_Cache->Seek(m_CacheOffset, kSeekFromStart, nullptr);
  }
  if (m_Length >= 0 && m_Position > m_Length) m_Length = m_Position;
}

void CGetLengthStreamEmulator::Flush() {
  ThrowIfShutDown();
  Inner().Flush();
}

LONGLONG CGetLengthStreamEmulator::TargetOf(LONGLONG offset, DWORD origin, LONGLONG length) {
  LONGLONG target = offset;
  if (origin == kSeekFromEnd)
    target = length + offset;
  else if (origin == kSeekFromCurrent)
    target = m_Position + offset;
  if (target < 0 || (length >= 0 && target > length)) ThrowStreamError(CStreamError::kInvalidParam);
  return target;
}

LONGLONG CGetLengthStreamEmulator::Seek(LONGLONG offset, DWORD origin, HANDLE abortEvent) {
  ThrowIfShutDown();
  Require(kStreamSeek);
  LeavePartialCache();
  LONGLONG length = m_Length;
  if (origin == kSeekFromEnd) {
    length = GetLength(false, abortEvent);
    if (length < 0) return m_Position;
  }
  const LONGLONG target = TargetOf(offset, origin, length);
  if (!(m_Capabilities & kStreamWrite) && target >= m_CacheStart)
    m_Position = target;
  else
    m_Position = Inner().Seek(target, kSeekFromStart, abortEvent);
  PlaceCacheAtPosition();
  return m_Position;
}

bool CGetLengthStreamEmulator::SeekWouldWait(LONGLONG offset, DWORD origin) {
  ThrowIfShutDown();
  if (origin == kSeekFromEnd && m_Length < 0) return true;
  const LONGLONG target = TargetOf(offset, origin, m_Length);
  if (target >= m_CacheStart &&
      m_Cache->SeekWouldWait(m_CacheOffset + (target - m_CacheStart), kSeekFromStart))
    return true;
  if ((m_Capabilities & kStreamWrite) || target < m_CacheStart)
    return Inner().SeekWouldWait(target, kSeekFromStart);
  return false;
}

LONGLONG CGetLengthStreamEmulator::GetPosition() {
  ThrowIfShutDown();
  return m_Position;
}

LONGLONG CGetLengthStreamEmulator::GetLength(bool immediate, HANDLE abortEvent) {
  ThrowIfShutDown();
  if (m_Length >= 0) return m_Length;
  const LONGLONG length = Inner().GetLength(immediate, abortEvent);
  if (length >= 0 || immediate) return length;
  return Scan(abortEvent);
}

// Copies the rest of the wrapped stream behind what is cached already and
// counts it. The position does not move.
LONGLONG CGetLengthStreamEmulator::Scan(HANDLE abortEvent) {
  CStream& inner = Inner();
  if (!HasPartialCache()) {
    m_CacheStart = m_Position;
    m_CacheOffset = 0;
    m_CachedCount = 0;
  }
  try {
    m_Cache->Seek(m_CacheOffset + m_CachedCount, kSeekFromStart, nullptr);
    while (!inner.IsAtEnd()) {
      if (IsSignalled(abortEvent)) {
        EndUnfinishedScan();
        return -1;
      }
      const DWORD got = inner.ReadSome(t_ScanBuffer, kScanChunk);
      if (got == 0) {
        Sleep(kEmptyReadPauseMs);
        continue;
      }
      m_Cache->Write(t_ScanBuffer, got);
      m_CachedCount += got;
    }
  } catch (CError*) {
    EndUnfinishedScan();
    throw;
  }
  m_Length = m_CacheStart + m_CachedCount;
  PlaceCacheAtPosition();
  return m_Length;
}

// What an aborted or failed scan leaves: the copied bytes stay in the cache
// and are read before the wrapped stream. A seekable wrapped stream is put
// back instead, which makes the cache unnecessary.
void CGetLengthStreamEmulator::EndUnfinishedScan() {
  if (m_CachedCount == 0) {
    ForgetCache();
    return;
  }
  try {
    PlaceCacheAtPosition();
    LeavePartialCache();
  } catch (CError* error) {
    DisposeError(error);  // the partial cache still serves the bytes in order
  }
}

void CGetLengthStreamEmulator::ForgetCache() {
  m_CacheStart = kNoCache;
  m_CacheOffset = 0;
  m_CachedCount = 0;
}

// Seeks and writes need the wrapped stream where the caller stands; a
// partial cache exists only in front of it, so it is given up.
void CGetLengthStreamEmulator::LeavePartialCache() {
  if (!HasPartialCache() || !(m_Capabilities & kStreamSeek)) return;
  Inner().Seek(m_Position, kSeekFromStart, nullptr);
  ForgetCache();
}

void CGetLengthStreamEmulator::PlaceCacheAtPosition() {
  if (m_Position >= m_CacheStart) m_Cache->Seek(m_CacheOffset + (m_Position - m_CacheStart), kSeekFromStart, nullptr);
}

DWORD CGetLengthStreamEmulator::GetTransferRate() {
  ThrowIfShutDown();
  if (m_Position >= m_CacheStart) return m_Cache->GetTransferRate();
  return Inner().GetTransferRate();
}

bool CGetLengthStreamEmulator::IsAtEnd() {
  ThrowIfShutDown();
  if (m_Length >= 0) return m_Position == m_Length;
  if (HasPartialCache()) return false;  // cached bytes are still unread
  return Inner().IsAtEnd();
}

void CGetLengthStreamEmulator::Shutdown() {
  m_ShutDown = true;
  if (m_Inner) m_Inner->Shutdown();
}

void CGetLengthStreamEmulator::Close() { CloseStream(false); }

void CGetLengthStreamEmulator::CloseNoThrow() { CloseStream(true); }

void CGetLengthStreamEmulator::CloseStream(bool noThrow) {
  DeferredError failure;
  if (m_Inner && m_OwnsInner) failure.Close(*m_Inner, noThrow);
  m_Inner = nullptr;
  if (m_Cache) std::exchange(m_Cache, nullptr)->CloseNoThrow();
  ForgetCache();
  m_Length = -1;
  m_Capabilities = 0;
  CError* error = failure.Take(noThrow);
  if (m_DeleteOnClose) delete this;
  if (error) throw error;
}

CStreamError* CGetLengthStreamEmulator::GetPendingError() { return nullptr; }

DWORD CGetLengthStreamEmulator::GetContentType(CStr& type) { return Inner().GetContentType(type); }
