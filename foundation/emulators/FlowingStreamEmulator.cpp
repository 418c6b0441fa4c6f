#include "foundation/emulators/FlowingStreamEmulator.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

#include "foundation/emulators/DeferredError.h"
#include "foundation/kernel/Localizer.h"
#include "foundation/kernel/MemoryError.h"
#include "foundation/kernel/Threads.h"
#include "foundation/streams/StreamError.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CFlowingStreamEmulator, CStreamEmulator)

namespace {

// Polling, not signalling: the reader thread looks again after these
// pauses, a waiting read after kReadWaitMs.
constexpr DWORD kNextReadPauseMs = 5;
constexpr DWORD kAtEndPauseMs = 500;
constexpr DWORD kFullPauseMs = 10;
constexpr DWORD kReadWaitMs = 10;

}  // namespace

CFlowingStreamEmulator::~CFlowingStreamEmulator() {
  {
    CriticalSectionLock state(m_StateLock);
    m_DeleteOnClose = false;
  }
  CloseNoThrow();
}

void CFlowingStreamEmulator::Attach(CStream* inner, DWORD blockSize, bool deleteOnClose, bool ownsInner) {
  CriticalSectionLock api(m_ApiLock);
  CriticalSectionLock state(m_StateLock);
  m_DeleteOnClose = false;
  state.Leave();
  CloseNoThrow();
  state.Enter();
  try {
    if (blockSize == 0) ThrowError<CStreamError>(CStreamError::kInvalidParam);
    DWORD capabilities = inner->GetCapabilities();
    if (!(capabilities & kStreamSeek)) capabilities &= ~kStreamWrite;
    m_Capabilities = capabilities | kStreamFlowing | kStreamBuffered;
    m_DeleteOnClose = deleteOnClose;
    m_OwnsInner = ownsInner;
    m_BlockSize = blockSize;
    m_Inner = inner;
    m_Spare = AllocateBlock();
    m_SpareInList = false;
    m_Head = m_Tail = nullptr;
    m_ReadOffset = 0;
    m_Unread = 0;
    m_ShutDown = m_Stop = false;
    m_Position = inner->GetPosition();
    m_Thread = BeginThread(nullptr, 0, ThreadMain, this, 0, &m_ThreadId);
    if (!m_Thread) {
      CStringLocalizer& localizer = GetLocalizer();
      ThrowError<CError>(CStr(localizer.GetString("CreateThreadFailed.Caption", "Thread Error")),
                         CStr(localizer.GetString("CreateThreadFailed.Text", "Unable to create new thread.")));
    }
  } catch (CError*) {
    m_Inner = nullptr;
    m_DeleteOnClose = false;
    m_Capabilities = 0;
    FreeBlock(std::exchange(m_Spare, nullptr));
    throw;
  }
}

CFlowingStreamEmulator::Block* CFlowingStreamEmulator::AllocateBlock() {
  void* memory = ::operator new(sizeof(Block) + m_BlockSize, std::nothrow);
  if (!memory) ThrowMemoryError();
  return new (memory) Block{nullptr, 0};
}

void CFlowingStreamEmulator::FreeBlock(Block* block) {
  if (block) ::operator delete(block);
}

DWORD WINAPI CFlowingStreamEmulator::ThreadMain(LPVOID emulator) {
  static_cast<CFlowingStreamEmulator*>(emulator)->ReaderThread();
  return 0;
}

// Holds the state lock except while it sleeps; a failure becomes the
// pending error and ends the thread.
void CFlowingStreamEmulator::ReaderThread() {
  CriticalSectionLock state(m_StateLock);
  try {
    while (!m_Stop && !m_ShutDown) {
      DWORD pause = kFullPauseMs;
      if (m_Unread < kMaxBytesAhead) {
        FillTail();
        if (m_Stop || m_ShutDown)
          pause = 0;
        else
          pause = m_Inner->IsAtEnd() ? kAtEndPauseMs : kNextReadPauseMs;
      }
      state.Leave();
      Sleep(pause);
      state.Enter();
    }
  } catch (CError* error) {
    m_Pending.Set(*error, *this);
    SignalEvent(kErrorEventProperty);
    DisposeError(error);
  }
}

// Reads what the wrapped stream has into the tail block, starting a new
// one (the spare first) when the tail is full.
void CFlowingStreamEmulator::FillTail() {
  if (!m_Tail || m_Tail->count == m_BlockSize) {
    Block* block = nullptr;
    if (!m_SpareInList) {
      block = m_Spare;
      m_SpareInList = true;
    } else {
      block = AllocateBlock();
    }
    block->count = 0;
    block->next = nullptr;
    if (m_Tail)
      m_Tail->next = block;
    else
      m_Head = block;
    m_Tail = block;
  }
  const DWORD room = static_cast<DWORD>(
      std::min<LONGLONG>(m_BlockSize - m_Tail->count, kMaxBytesAhead - m_Unread));
  const DWORD got = m_Inner->ReadSome(m_Tail->Data() + m_Tail->count, room);
  m_Tail->count += got;
  m_Unread += got;
  if (got) SignalEvent(kDataEventProperty);
}

// Frees every block but the spare; the reader goes on from wherever the
// wrapped stream stands. Under the state lock.
void CFlowingStreamEmulator::DiscardBlocks() {
  for (Block* block = m_Head; block;) {
    Block* next = block->next;
    if (block != m_Spare) FreeBlock(block);
    block = next;
  }
  m_Head = m_Tail = nullptr;
  m_SpareInList = false;
  m_ReadOffset = 0;
  m_Unread = 0;
}

// Takes up to `size` unread bytes of the head block; a full block read to
// its end leaves the list. Under the state lock.
DWORD CFlowingStreamEmulator::TakeFromHead(BYTE* target, DWORD size) {
  if (!m_Head || m_ReadOffset >= m_Head->count) return 0;
  const DWORD count = std::min(size, m_Head->count - m_ReadOffset);
  if (target) std::memcpy(target, m_Head->Data() + m_ReadOffset, count);
  m_ReadOffset += count;
  m_Position += count;
  m_Unread -= count;
  if (m_ReadOffset == m_BlockSize) {
    Block* head = m_Head;
    m_Head = head->next;
    if (!m_Head) m_Tail = nullptr;
    if (head == m_Spare)
      m_SpareInList = false;
    else
      FreeBlock(head);
    m_ReadOffset = 0;
  }
  return count;
}

bool CFlowingStreamEmulator::AtEndLocked() { return m_Unread == 0 && Inner().IsAtEnd(); }

void CFlowingStreamEmulator::ThrowIfUnusable() {
  if (m_ShutDown) ThrowStreamError(CStreamError::kShutdown);
  m_Pending.ThrowIfSet();
}

void CFlowingStreamEmulator::Require(DWORD capability) {
  if (!(m_Capabilities & capability)) ThrowStreamError(CStreamError::kNotPermitted);
}

DWORD CFlowingStreamEmulator::Take(bool copy, bool wait, BYTE* target, DWORD size) {
  CriticalSectionLock api(m_ApiLock);
  CriticalSectionLock state(m_StateLock);
  DWORD total = 0;
  while (total < size) {
    ThrowIfUnusable();
    Require(kStreamRead);
    const DWORD got = TakeFromHead(copy ? target + total : nullptr, size - total);
    total += got;
    if (got) continue;
    if (!wait || AtEndLocked()) break;
    state.Leave();
    Sleep(kReadWaitMs);
    state.Enter();
  }
  return total;
}

DWORD CFlowingStreamEmulator::Read(void* buffer, DWORD size) {
  return Take(true, true, static_cast<BYTE*>(buffer), size);
}

DWORD CFlowingStreamEmulator::ReadSome(void* buffer, DWORD size) {
  return Take(true, false, static_cast<BYTE*>(buffer), size);
}

DWORD CFlowingStreamEmulator::Skip(DWORD count) { return Take(false, true, nullptr, count); }

DWORD CFlowingStreamEmulator::SkipSome(DWORD count) { return Take(false, false, nullptr, count); }

void CFlowingStreamEmulator::Write(const void* buffer, DWORD size) {
  CriticalSectionLock api(m_ApiLock);
  CriticalSectionLock state(m_StateLock);
  ThrowIfUnusable();
  Require(kStreamWrite);
  DiscardBlocks();
  CStream& inner = Inner();
  inner.Seek(m_Position, kSeekFromStart, nullptr);
  inner.Write(buffer, size);
  m_Position += size;
}

// The read-ahead goes, and the wrapped stream comes back to where the
// caller stands, so no byte is skipped by the next read.
void CFlowingStreamEmulator::Flush() {
  CriticalSectionLock api(m_ApiLock);
  CriticalSectionLock state(m_StateLock);
  ThrowIfUnusable();
  CStream& inner = Inner();
  if (m_Capabilities & kStreamWrite) {
    DiscardBlocks();
    inner.Seek(m_Position, kSeekFromStart, nullptr);
  }
  inner.Flush();
}

LONGLONG CFlowingStreamEmulator::Seek(LONGLONG offset, DWORD origin, HANDLE abortEvent) {
  CriticalSectionLock api(m_ApiLock);
  CriticalSectionLock state(m_StateLock);
  ThrowIfUnusable();
  DiscardBlocks();
  if (origin == kSeekFromCurrent) {
    offset += m_Position;
    origin = kSeekFromStart;
  }
  m_Position = Inner().Seek(offset, origin, abortEvent);
  return m_Position;
}

bool CFlowingStreamEmulator::SeekWouldWait(LONGLONG offset, DWORD origin) {
  CriticalSectionLock api(m_ApiLock);
  CriticalSectionLock state(m_StateLock);
  ThrowIfUnusable();
  return Inner().SeekWouldWait(offset, origin);
}

LONGLONG CFlowingStreamEmulator::GetPosition() {
  CriticalSectionLock api(m_ApiLock);
  CriticalSectionLock state(m_StateLock);
  ThrowIfUnusable();
  return m_Position;
}

LONGLONG CFlowingStreamEmulator::GetLength(bool immediate, HANDLE abortEvent) {
  CriticalSectionLock api(m_ApiLock);
  CriticalSectionLock state(m_StateLock);
  ThrowIfUnusable();
  return Inner().GetLength(immediate, abortEvent);
}

DWORD CFlowingStreamEmulator::GetTransferRate() {
  CriticalSectionLock api(m_ApiLock);
  CriticalSectionLock state(m_StateLock);
  ThrowIfUnusable();
  return Inner().GetTransferRate();
}

bool CFlowingStreamEmulator::IsAtEnd() {
  CriticalSectionLock api(m_ApiLock);
  CriticalSectionLock state(m_StateLock);
  ThrowIfUnusable();
  return AtEndLocked();
}

void CFlowingStreamEmulator::Shutdown() {
  CriticalSectionLock state(m_StateLock);
  m_ShutDown = true;
  if (m_Inner) m_Inner->Shutdown();
  DiscardBlocks();
}

void CFlowingStreamEmulator::SetProperty(DWORD index, DWORD value) {
  CriticalSectionLock api(m_ApiLock);
  CriticalSectionLock state(m_StateLock);
  CStream::SetProperty(index, value);
  if (!value) return;
  if (index == kDataEventProperty && m_Unread > 0) SignalEvent(kDataEventProperty);
  if (index == kErrorEventProperty && m_Pending.IsSet()) SignalEvent(kErrorEventProperty);
}

DWORD CFlowingStreamEmulator::GetProperty(DWORD index) {
  CriticalSectionLock api(m_ApiLock);
  CriticalSectionLock state(m_StateLock);
  return CStream::GetProperty(index);
}

CStr& CFlowingStreamEmulator::GetURL(CStr& url) {
  CriticalSectionLock state(m_StateLock);
  if (m_Inner) return m_Inner->GetURL(url);
  url = CStr();
  return url;
}

DWORD CFlowingStreamEmulator::GetCapabilities() {
  CriticalSectionLock api(m_ApiLock);
  CriticalSectionLock state(m_StateLock);
  return m_Capabilities;
}

void CFlowingStreamEmulator::Close() { CloseStream(false); }

void CFlowingStreamEmulator::CloseNoThrow() { CloseStream(true); }

void CFlowingStreamEmulator::CloseStream(bool noThrow) {
  CriticalSectionLock api(m_ApiLock);
  HANDLE thread = nullptr;
  {
    CriticalSectionLock state(m_StateLock);
    thread = std::exchange(m_Thread, nullptr);
    if (thread) m_Stop = true;
  }
  if (thread) {
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
  }
  DeferredError failure;
  bool deleteIt = false;
  {
    CriticalSectionLock state(m_StateLock);
    m_Stop = false;
    deleteIt = m_DeleteOnClose;
    DiscardBlocks();
    if (m_Inner && m_OwnsInner) failure.Close(*m_Inner, noThrow);
    m_Inner = nullptr;
    FreeBlock(std::exchange(m_Spare, nullptr));
    m_Pending.Clear();
    m_Capabilities = 0;
  }
  api.Leave();
  CError* error = failure.Take(noThrow);
  if (deleteIt) delete this;
  if (error) throw error;
}

CStreamError* CFlowingStreamEmulator::GetPendingError() {
  CriticalSectionLock api(m_ApiLock);
  CriticalSectionLock state(m_StateLock);
  return m_Pending.Copy();
}

DWORD CFlowingStreamEmulator::GetContentType(CStr& type) {
  CriticalSectionLock state(m_StateLock);
  return Inner().GetContentType(type);
}

void CFlowingStreamEmulator::SetOwnsInner(bool owns) {
  CriticalSectionLock state(m_StateLock);
  m_OwnsInner = owns;
}
