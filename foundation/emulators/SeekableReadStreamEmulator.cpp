#include "foundation/emulators/SeekableReadStreamEmulator.h"

#include <algorithm>
#include <utility>

#include "foundation/emulators/DeferredError.h"
#include "foundation/emulators/Transfer.h"
#include "foundation/filesystem/FileSystem.h"
#include "foundation/kernel/MemoryError.h"
#include "foundation/kernel/Threads.h"
#include "foundation/streams/StreamError.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CSeekableReadStreamEmulator, CStreamEmulator)

namespace {

// Polling, not signalling: the reader thread rests after a pass that read
// nothing, waiting reads and seeks look again after a short sleep.
constexpr DWORD kIdlePassPauseMs = 200;
constexpr DWORD kReadWaitMs = 20;
constexpr DWORD kSeekWaitMs = 5;

constexpr DWORD kCacheFlags = kStreamRead | kStreamWrite | kStreamSeek | kStreamBuffered;

bool IsSignalled(HANDLE event) { return event && WaitForSingleObject(event, 0) == WAIT_OBJECT_0; }

}  // namespace

CSeekableReadStreamEmulator::~CSeekableReadStreamEmulator() {
  {
    CriticalSectionLock state(m_StateLock);
    m_DeleteOnClose = false;
  }
  CloseNoThrow();
}

void CSeekableReadStreamEmulator::Attach(CStream* inner, CStream* cache, DWORD chunkSize, bool deleteOnClose,
                                         bool ownsInner, LONGLONG readAheadLimit) {
  CriticalSectionLock api(m_ApiLock);
  {
    CriticalSectionLock state(m_StateLock);
    m_DeleteOnClose = false;
  }
  CloseNoThrow();
  CriticalSectionLock state(m_StateLock);
  CStream* madeCache = nullptr;
  try {
    if (inner->GetPosition() != 0 || chunkSize == 0) ThrowError<CStreamError>(CStreamError::kInvalidParam);
    m_Length = inner->GetLength(true, nullptr);
    inner->GetURL(m_URL);
    DWORD capabilities = inner->GetCapabilities() | kStreamSeek | kStreamFlowing;
    m_DeleteOnClose = deleteOnClose;
    m_OwnsInner = ownsInner;
    m_Inner = inner;
    m_ReadAheadLimit = readAheadLimit;
    m_CacheAtReadPosition = true;
    m_AllCached = false;
    m_ReadPosition = m_CachedCount = m_HighWater = m_SeekTarget = 0;
    m_ShutDown = m_SeekingDisabled = false;
    m_Caching = true;
    m_Cache = cache;
    if (!m_Cache) m_Cache = madeCache = GetFileSystem().CreateTempStream(nullptr, kCacheFlags, 0);
    if (!m_Cache) ThrowStreamError(CStreamError::kGeneric);
    if (m_Cache->GetCapabilities() & kStreamBuffered) capabilities |= kStreamBuffered;
    m_Capabilities = capabilities;
    m_ChunkSize = chunkSize;
    m_Chunk = new (std::nothrow) BYTE[chunkSize];
    if (!m_Chunk) ThrowMemoryError();
    m_Running = true;
    m_Thread = BeginThread(nullptr, 0, ThreadMain, this, 0, &m_ThreadId);
    if (!m_Thread) ThrowStreamError(CStreamError::kGeneric);
  } catch (CError*) {
    m_Inner = nullptr;
    if (madeCache) madeCache->CloseNoThrow();
    m_Cache = nullptr;  // a cache that was given stays with the caller
    m_Running = false;
    m_DeleteOnClose = false;
    m_Capabilities = 0;
    m_Caching = false;
    delete[] m_Chunk;
    m_Chunk = nullptr;
    throw;
  }
}

DWORD WINAPI CSeekableReadStreamEmulator::ThreadMain(LPVOID emulator) {
  static_cast<CSeekableReadStreamEmulator*>(emulator)->ReaderThread();
  return 0;
}

// Copies until closed, everything is cached or seeking is disabled; a
// failure becomes the pending error.
void CSeekableReadStreamEmulator::ReaderThread() {
  try {
    for (;;) {
      DWORD room = 0;
      {
        CriticalSectionLock state(m_StateLock);
        if (!m_Running || m_AllCached || m_SeekingDisabled) return;
        if (m_ShutDown) ThrowError<CStreamError>(CStreamError::kShutdown, m_URL.c_str());
        room = RoomAhead();
      }
      const DWORD pause = CopyPass(room);
      if (pause) Sleep(pause);
    }
  } catch (CError* error) {
    CriticalSectionLock state(m_StateLock);
    SetPendingError(*error);
    DisposeError(error);
  }
}

// How much the next pass may copy: a chunk, less near the read-ahead limit
// beyond the furthest position read (or sought).
DWORD CSeekableReadStreamEmulator::RoomAhead() const {
  if (m_ReadAheadLimit <= 0) return m_ChunkSize;
  const LONGLONG ahead = m_CachedCount - std::max(m_HighWater, m_SeekTarget);
  if (ahead + m_ChunkSize <= m_ReadAheadLimit) return m_ChunkSize;
  const LONGLONG room = m_ReadAheadLimit - ahead;
  return room > 0 ? static_cast<DWORD>(room) : 0;
}

// One copy pass under the copy lock: notes the end or reads one chunk and
// stores it. Returns the pause before the next pass.
DWORD CSeekableReadStreamEmulator::CopyPass(DWORD room) {
  CriticalSectionLock copy(m_CopyLock);
  {
    CriticalSectionLock state(m_StateLock);
    if (!m_Caching) return 0;  // drained after seeking was disabled: the next pass ends
  }
  bool atEnd = false;
  LONGLONG endPosition = 0;
  DWORD got = 0;
  {
    CriticalSectionLock inner(m_InnerLock);
    if (m_Inner->IsAtEnd()) {
      atEnd = true;
      endPosition = m_Inner->GetPosition();
    } else if (room > 0) {
      got = m_Inner->ReadSome(m_Chunk, std::min(room, m_ChunkSize));
    }
  }
  if (atEnd) {
    CriticalSectionLock state(m_StateLock);
    m_Length = endPosition;
    if (m_CachedCount >= m_Length) m_AllCached = true;
    SignalEvent(kDataEventProperty);
  }
  if (got == 0) return kIdlePassPauseMs;
  bool lengthUnknown = false;
  {
    CriticalSectionLock state(m_StateLock);
    lengthUnknown = m_Length < 0;
  }
  if (lengthUnknown) {
    LONGLONG length = -1;
    {
      CriticalSectionLock inner(m_InnerLock);
      length = m_Inner->GetLength(true, nullptr);
    }
    if (length >= 0) {
      CriticalSectionLock state(m_StateLock);
      m_Length = length;
    }
  }
  CriticalSectionLock state(m_StateLock);
  StoreChunk(got);
  return 0;
}

// Appends the chunk at the cache's write end. Under the state lock.
void CSeekableReadStreamEmulator::StoreChunk(DWORD count) {
  if (m_CacheAtReadPosition) {
    m_Cache->Seek(m_CachedCount, kSeekFromStart, nullptr);
    m_CacheAtReadPosition = false;
  }
  m_Cache->Write(m_Chunk, count);
  m_CachedCount += count;
  if (m_Length >= 0 && m_CachedCount >= m_Length) m_AllCached = true;
  if (m_ReadPosition < m_CachedCount) SignalEvent(kDataEventProperty);
}

// Under the state lock.
bool CSeekableReadStreamEmulator::HasData() {
  if (m_Caching) return m_CachedCount > m_ReadPosition;
  if (!m_Inner) return false;
  CriticalSectionLock inner(m_InnerLock);
  try {
    return !m_Inner->IsAtEnd();
  } catch (CError* error) {
    DisposeError(error);  // shut down: nothing to read
    return false;
  }
}

// After DisableSeeking, once the reader has read everything cached, the
// cache goes and reads continue from the wrapped stream, which stands
// exactly there. The copy lock keeps the reader thread off the cache.
void CSeekableReadStreamEmulator::DropCacheWhenDrained() {
  CriticalSectionLock copy(m_CopyLock);
  CriticalSectionLock state(m_StateLock);
  if (!m_SeekingDisabled || !m_Caching || m_ReadPosition < m_CachedCount) return;
  m_Caching = false;
  if (m_Cache) std::exchange(m_Cache, nullptr)->CloseNoThrow();
}

// Under the state lock.
void CSeekableReadStreamEmulator::SetPendingError(const CError& error) {
  m_Pending.Set(error, *this);
  SignalEvent(kErrorEventProperty);
}

void CSeekableReadStreamEmulator::ThrowIfShutDown() {
  if (m_ShutDown) ThrowStreamError(CStreamError::kShutdown);
}

void CSeekableReadStreamEmulator::ThrowIfUnusable() {
  ThrowIfShutDown();
  m_Pending.ThrowIfSet();
}

void CSeekableReadStreamEmulator::SetProperty(DWORD index, DWORD value) {
  CriticalSectionLock api(m_ApiLock);
  CriticalSectionLock state(m_StateLock);
  CStream::SetProperty(index, value);
  if (!value) return;
  if (index == kDataEventProperty && HasData()) SignalEvent(kDataEventProperty);
  if (index == kErrorEventProperty && m_Pending.IsSet()) SignalEvent(kErrorEventProperty);
}

DWORD CSeekableReadStreamEmulator::GetProperty(DWORD index) {
  CriticalSectionLock api(m_ApiLock);
  CriticalSectionLock state(m_StateLock);
  return CStream::GetProperty(index);
}

CStr& CSeekableReadStreamEmulator::GetURL(CStr& url) {
  CriticalSectionLock state(m_StateLock);
  return url = m_URL;
}

DWORD CSeekableReadStreamEmulator::GetCapabilities() {
  CriticalSectionLock state(m_StateLock);
  return m_Capabilities;
}

// A pass-through call that may wait leaves the state lock meanwhile, so
// that Shutdown from another thread can end it.
DWORD CSeekableReadStreamEmulator::PassThrough(CriticalSectionLock& state, int kind, BYTE* target, DWORD size) {
  CStream& inner = Inner();
  const bool waits = TransferWaits(kind);
  if (waits) state.Leave();
  DWORD got = 0;
  {
    CriticalSectionLock innerLock(m_InnerLock);
    got = Transfer(inner, kind, target, size);
  }
  if (waits) state.Enter();
  m_ReadPosition += got;
  return got;
}

DWORD CSeekableReadStreamEmulator::Take(int kind, BYTE* target, DWORD size) {
  CriticalSectionLock api(m_ApiLock);
  CriticalSectionLock state(m_StateLock);
  DWORD total = 0;
  for (;;) {
    ThrowIfUnusable();
    if (!m_Caching) {
      total += PassThrough(state, kind, TransferTarget(target, total), size - total);
      break;
    }
    if (!m_CacheAtReadPosition) {
      m_Cache->Seek(m_ReadPosition, kSeekFromStart, nullptr);
      m_CacheAtReadPosition = true;
    }
    const DWORD cached = static_cast<DWORD>(std::min<LONGLONG>(size - total, m_CachedCount - m_ReadPosition));
    const DWORD got = cached ? Transfer(*m_Cache, kind, TransferTarget(target, total), cached) : 0;
    m_ReadPosition += got;
    total += got;
    m_HighWater = std::max(m_HighWater, m_ReadPosition);
    if (!TransferWaits(kind) || total == size || (m_AllCached && m_ReadPosition == m_CachedCount)) break;
    ThrowIfShutDown();
    state.Leave();
    DropCacheWhenDrained();
    Sleep(kReadWaitMs);
    state.Enter();
  }
  state.Leave();
  DropCacheWhenDrained();
  return total;
}

DWORD CSeekableReadStreamEmulator::Read(void* buffer, DWORD size) {
  return Take(kTransferRead, static_cast<BYTE*>(buffer), size);
}

DWORD CSeekableReadStreamEmulator::ReadSome(void* buffer, DWORD size) {
  return Take(kTransferReadSome, static_cast<BYTE*>(buffer), size);
}

DWORD CSeekableReadStreamEmulator::Skip(DWORD count) { return Take(kTransferSkip, nullptr, count); }

DWORD CSeekableReadStreamEmulator::SkipSome(DWORD count) { return Take(kTransferSkipSome, nullptr, count); }

void CSeekableReadStreamEmulator::Write(const void*, DWORD) { ThrowStreamError(CStreamError::kNotPermitted); }

// The target of a seek from the start or the current position, checked
// against a known length. Under the state lock.
LONGLONG CSeekableReadStreamEmulator::TargetOf(LONGLONG offset, DWORD origin) {
  const LONGLONG target = origin == kSeekFromCurrent ? m_ReadPosition + offset : offset;
  if (target < 0 || (m_Length >= 0 && target > m_Length)) ThrowStreamError(CStreamError::kInvalidParam);
  return target;
}

LONGLONG CSeekableReadStreamEmulator::Seek(LONGLONG offset, DWORD origin, HANDLE abortEvent) {
  CriticalSectionLock api(m_ApiLock);
  CriticalSectionLock state(m_StateLock);
  ThrowIfShutDown();
  if (m_SeekingDisabled) ThrowStreamError(CStreamError::kNotPermitted);
  m_Pending.ThrowIfSet();
  bool aborted = false;
  // Waits one step without the state lock; notes an abort.
  auto pause = [&] {
    state.Leave();
    Sleep(kSeekWaitMs);
    aborted = IsSignalled(abortEvent);
    state.Enter();
  };
  LONGLONG target = 0;
  if (origin == kSeekFromEnd) {
    if (offset > 0) ThrowStreamError(CStreamError::kInvalidParam);
    while (m_Length < 0) {
      if (aborted) return m_ReadPosition;
      ThrowIfUnusable();  // a failed copy never learns the length
      pause();
    }
    if (-offset > m_Length) ThrowStreamError(CStreamError::kInvalidParam);
    target = m_Length + offset;
  } else {
    target = TargetOf(offset, origin);
  }
  // While it waits, the copy may run ahead of the target as it would of a
  // read there; otherwise a target beyond the read-ahead limit never came.
  m_SeekTarget = target;
  struct SeekEnd {
    LONGLONG& seekTarget;
    ~SeekEnd() { seekTarget = 0; }
  } seekEnd{m_SeekTarget};
  while (m_CachedCount < target) {
    if (aborted) return m_ReadPosition;
    ThrowIfShutDown();
    if (m_AllCached) ThrowStreamError(CStreamError::kInvalidParam);  // beyond the end
    m_Pending.ThrowIfSet();
    pause();
  }
  if (aborted) return m_ReadPosition;
  if (m_CacheAtReadPosition) m_Cache->Seek(target, kSeekFromStart, nullptr);
  m_ReadPosition = target;
  m_HighWater = std::max(m_HighWater, m_ReadPosition);
  return target;
}

bool CSeekableReadStreamEmulator::SeekWouldWait(LONGLONG offset, DWORD origin) {
  CriticalSectionLock api(m_ApiLock);
  CriticalSectionLock state(m_StateLock);
  ThrowIfShutDown();
  if (m_SeekingDisabled) ThrowStreamError(CStreamError::kNotPermitted);
  m_Pending.ThrowIfSet();
  LONGLONG target = 0;
  if (origin == kSeekFromEnd) {
    if (offset > 0) ThrowStreamError(CStreamError::kInvalidParam);
    if (m_Length < 0) return true;
    if (-offset > m_Length) ThrowStreamError(CStreamError::kInvalidParam);
    target = m_Length + offset;
  } else {
    target = TargetOf(offset, origin);
  }
  return target >= m_CachedCount;
}

LONGLONG CSeekableReadStreamEmulator::GetPosition() {
  CriticalSectionLock api(m_ApiLock);
  CriticalSectionLock state(m_StateLock);
  ThrowIfUnusable();
  if (m_Caching) return m_ReadPosition;
  CriticalSectionLock inner(m_InnerLock);
  return Inner().GetPosition();
}

LONGLONG CSeekableReadStreamEmulator::GetLength(bool immediate, HANDLE abortEvent) {
  CriticalSectionLock api(m_ApiLock);
  CriticalSectionLock state(m_StateLock);
  ThrowIfUnusable();
  if (m_Length >= 0 || m_Caching) return m_Length;
  CStream& inner = Inner();
  // It may wait: Shutdown must still get through.
  if (!immediate) state.Leave();
  CriticalSectionLock innerLock(m_InnerLock);
  return inner.GetLength(immediate, abortEvent);
}

DWORD CSeekableReadStreamEmulator::GetTransferRate() {
  CriticalSectionLock api(m_ApiLock);
  CriticalSectionLock state(m_StateLock);
  ThrowIfUnusable();
  if (m_Caching && m_AllCached) return m_Cache->GetTransferRate();
  CriticalSectionLock inner(m_InnerLock);
  return Inner().GetTransferRate();
}

bool CSeekableReadStreamEmulator::IsAtEnd() {
  CriticalSectionLock api(m_ApiLock);
  CriticalSectionLock state(m_StateLock);
  ThrowIfUnusable();
  if (m_Caching) return m_Length >= 0 && m_ReadPosition == m_Length;
  CriticalSectionLock inner(m_InnerLock);
  return Inner().IsAtEnd();
}

// From any thread. While caching, the reader thread holds the wrapped
// stream only for a ReadSome, which never waits. In pass-through a read
// may wait inside the wrapped stream holding its lock: Shutdown, the one
// call a stream takes from another thread, goes to it directly then.
void CSeekableReadStreamEmulator::Shutdown() {
  CriticalSectionLock state(m_StateLock);
  m_ShutDown = true;
  if (!m_Inner || m_AllCached) return;
  if (!m_Caching) {
    m_Inner->Shutdown();
    return;
  }
  CriticalSectionLock inner(m_InnerLock);
  m_Inner->Shutdown();
}

void CSeekableReadStreamEmulator::Close() { CloseStream(false); }

void CSeekableReadStreamEmulator::CloseNoThrow() { CloseStream(true); }

void CSeekableReadStreamEmulator::CloseStream(bool noThrow) {
  CriticalSectionLock api(m_ApiLock);
  bool deleteIt = false;
  HANDLE thread = nullptr;
  {
    CriticalSectionLock state(m_StateLock);
    m_Running = false;
    deleteIt = m_DeleteOnClose;
    thread = std::exchange(m_Thread, nullptr);
  }
  if (thread) {
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
  }
  DeferredError failure;
  {
    CriticalSectionLock state(m_StateLock);
    if (m_Inner && m_OwnsInner) failure.Close(*m_Inner, noThrow);
    m_Inner = nullptr;
    delete[] m_Chunk;
    m_Chunk = nullptr;
    if (CStream* cache = std::exchange(m_Cache, nullptr)) failure.Close(*cache, noThrow);
    m_Pending.Clear();
    m_Capabilities = 0;
    m_Caching = false;
  }
  api.Leave();
  CError* error = failure.Take(noThrow);
  if (deleteIt) delete this;
  if (error) throw error;
}

CStreamError* CSeekableReadStreamEmulator::GetPendingError() {
  CriticalSectionLock state(m_StateLock);
  return m_Pending.Copy();
}

DWORD CSeekableReadStreamEmulator::GetContentType(CStr& type) {
  CriticalSectionLock api(m_ApiLock);
  CriticalSectionLock state(m_StateLock);
  ThrowIfUnusable();
  CriticalSectionLock inner(m_InnerLock);
  return Inner().GetContentType(type);
}

void CSeekableReadStreamEmulator::SetOwnsInner(bool owns) {
  CriticalSectionLock state(m_StateLock);
  m_OwnsInner = owns;
}

void CSeekableReadStreamEmulator::DisableSeeking() {
  CriticalSectionLock api(m_ApiLock);
  {
    CriticalSectionLock state(m_StateLock);
    if (!m_Inner) return;
    {
      CriticalSectionLock inner(m_InnerLock);
      m_Capabilities = m_Inner->GetCapabilities();
    }
    m_SeekingDisabled = true;
  }
  DropCacheWhenDrained();
}
