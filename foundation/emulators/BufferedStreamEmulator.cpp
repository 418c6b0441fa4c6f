#include "foundation/emulators/BufferedStreamEmulator.h"

#include <algorithm>
#include <cstring>

#include "foundation/emulators/DeferredError.h"
#include "foundation/kernel/MemoryError.h"
#include "foundation/streams/StreamError.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CBufferedStreamEmulator, CStreamEmulator)

CBufferedStreamEmulator::~CBufferedStreamEmulator() {
  m_DeleteOnClose = false;
  CloseNoThrow();
}

void CBufferedStreamEmulator::Attach(CStream* inner, bool writeMode, DWORD bufferSize, bool deleteOnClose,
                                     bool ownsInner) {
  m_DeleteOnClose = false;
  CloseNoThrow();
  try {
    DWORD capabilities = inner->GetCapabilities();
    const DWORD both = kStreamRead | kStreamWrite;
    if ((capabilities & both) == both && !(capabilities & kStreamSeek))
      capabilities &= writeMode ? ~kStreamRead : ~kStreamWrite;
    m_Capabilities = capabilities | kStreamBuffered;
    m_Buffer = new (std::nothrow) BYTE[std::max<DWORD>(bufferSize, 1)];
    if (!m_Buffer) ThrowMemoryError();
    m_BufferSize = bufferSize;
    m_Cursor = m_End = m_Buffer;
    m_Writing = false;
    m_ShutDown = false;
    m_DeleteOnClose = deleteOnClose;
    m_OwnsInner = ownsInner;
    m_Inner = inner;
    m_Position = inner->GetPosition();
    inner->SetProperty(kErrorEventProperty, m_Properties[kErrorEventProperty]);
    inner->SetProperty(kDataEventProperty, m_Properties[kDataEventProperty]);
  } catch (CError*) {
    m_Inner = nullptr;
    m_DeleteOnClose = false;
    m_Capabilities = 0;
    delete[] m_Buffer;
    m_Buffer = m_Cursor = m_End = nullptr;
    throw;
  }
}

void CBufferedStreamEmulator::ThrowIfShutDown() {
  if (m_ShutDown) ThrowStreamError(CStreamError::kShutdown);
}

void CBufferedStreamEmulator::Require(DWORD capability) {
  if (!(m_Capabilities & capability)) ThrowStreamError(CStreamError::kNotPermitted);
}

void CBufferedStreamEmulator::SetProperty(DWORD index, DWORD value) {
  if (m_Inner) m_Inner->SetProperty(index, value);
  CStream::SetProperty(index, value);
}

CStr& CBufferedStreamEmulator::GetURL(CStr& url) {
  if (m_Inner) return m_Inner->GetURL(url);
  url = CStr();
  return url;
}

// Passes the collected bytes on. A failed write keeps them, so nothing is
// lost when the caller tries again.
void CBufferedStreamEmulator::PassOn() {
  const DWORD collected = static_cast<DWORD>(m_Cursor - m_Buffer);
  if (collected == 0) return;
  Inner().Write(m_Buffer, collected);
  m_Cursor = m_Buffer;
}

void CBufferedStreamEmulator::EnterReadMode() {
  if (!m_Writing) return;
  PassOn();
  m_Writing = false;
  m_Cursor = m_End = m_Buffer;
}

// Bytes read ahead are not skipped: the wrapped stream goes back to where
// the caller stands before the first byte is written.
void CBufferedStreamEmulator::EnterWriteMode() {
  if (m_Writing) return;
  CStream& inner = Inner();
  if (inner.GetPosition() != m_Position) inner.Seek(m_Position, kSeekFromStart, nullptr);
  m_Cursor = m_Buffer;
  m_End = m_Buffer + m_BufferSize;
  m_Writing = true;
}

// Fills the buffer with what the wrapped stream has now, and waits for
// more only when that is less than `minimum`.
void CBufferedStreamEmulator::Refill(DWORD minimum) {
  m_Cursor = m_End = m_Buffer;
  CStream& inner = Inner();
  m_End += inner.ReadSome(m_Buffer, m_BufferSize);
  const DWORD got = Unread();
  if (got < minimum) m_End += inner.Read(m_End, minimum - got);
}

template <class InnerRead>
DWORD CBufferedStreamEmulator::ReadBuffered(BYTE* target, DWORD size, DWORD minimum, InnerRead innerRead) {
  const DWORD unread = Unread();
  if (unread >= size) {
    std::memcpy(target, m_Cursor, size);
    m_Cursor += size;
    m_Position += size;
    return size;
  }
  std::memcpy(target, m_Cursor, unread);
  m_Cursor = m_End;
  m_Position += unread;
  const DWORD rest = size - unread;
  // Large reads go straight into the caller's memory.
  if (rest >= m_BufferSize) {
    const DWORD got = innerRead(target + unread, rest);
    m_Position += got;
    return unread + got;
  }
  Refill(std::min(minimum, rest));
  const DWORD taken = std::min(rest, Unread());
  std::memcpy(target + unread, m_Cursor, taken);
  m_Cursor += taken;
  m_Position += taken;
  return unread + taken;
}

DWORD CBufferedStreamEmulator::Read(void* buffer, DWORD size) {
  ThrowIfShutDown();
  Require(kStreamRead);
  EnterReadMode();
  return ReadBuffered(static_cast<BYTE*>(buffer), size, size,
                      [this](BYTE* target, DWORD count) { return Inner().Read(target, count); });
}

DWORD CBufferedStreamEmulator::ReadSome(void* buffer, DWORD size) {
  ThrowIfShutDown();
  Require(kStreamRead);
  EnterReadMode();
  return ReadBuffered(static_cast<BYTE*>(buffer), size, 0,
                      [this](BYTE* target, DWORD count) { return Inner().ReadSome(target, count); });
}

template <class InnerSkip>
DWORD CBufferedStreamEmulator::SkipBuffered(DWORD count, InnerSkip innerSkip) {
  ThrowIfShutDown();
  Require(kStreamRead);
  EnterReadMode();
  const DWORD fromBuffer = std::min(count, Unread());
  m_Cursor += fromBuffer;
  m_Position += fromBuffer;
  if (fromBuffer == count) return count;
  const DWORD skipped = innerSkip(count - fromBuffer);
  m_Position += skipped;
  return fromBuffer + skipped;
}

DWORD CBufferedStreamEmulator::Skip(DWORD count) {
  return SkipBuffered(count, [this](DWORD rest) { return Inner().Skip(rest); });
}

DWORD CBufferedStreamEmulator::SkipSome(DWORD count) {
  return SkipBuffered(count, [this](DWORD rest) { return Inner().SkipSome(rest); });
}

void CBufferedStreamEmulator::Write(const void* buffer, DWORD size) {
  ThrowIfShutDown();
  Require(kStreamWrite);
  EnterWriteMode();
  if (size <= static_cast<DWORD>(m_End - m_Cursor)) {
    std::memcpy(m_Cursor, buffer, size);
    m_Cursor += size;
  } else {
    PassOn();
    Inner().Write(buffer, size);
  }
  m_Position += size;
}

void CBufferedStreamEmulator::Flush() {
  ThrowIfShutDown();
  if (m_Writing) PassOn();
}

// The wrapped stream stands elsewhere than the caller (read ahead or
// written behind), so a seek from the current position is made absolute.
// Read-ahead bytes are dropped only once the seek has succeeded.
LONGLONG CBufferedStreamEmulator::Seek(LONGLONG offset, DWORD origin, HANDLE abortEvent) {
  ThrowIfShutDown();
  if (m_Writing) PassOn();
  if (origin == kSeekFromCurrent) {
    offset += m_Position;
    origin = kSeekFromStart;
  }
  const LONGLONG position = Inner().Seek(offset, origin, abortEvent);
  if (!m_Writing) m_Cursor = m_End = m_Buffer;
  m_Position = position;
  return position;
}

bool CBufferedStreamEmulator::SeekWouldWait(LONGLONG offset, DWORD origin) {
  ThrowIfShutDown();
  return Inner().SeekWouldWait(offset, origin);
}

LONGLONG CBufferedStreamEmulator::GetPosition() {
  ThrowIfShutDown();
  return m_Position;
}

// Collected bytes count: they are passed on before the length is asked for.
LONGLONG CBufferedStreamEmulator::GetLength(bool immediate, HANDLE abortEvent) {
  ThrowIfShutDown();
  if (m_Writing) PassOn();
  return Inner().GetLength(immediate, abortEvent);
}

DWORD CBufferedStreamEmulator::GetTransferRate() {
  ThrowIfShutDown();
  return Inner().GetTransferRate();
}

bool CBufferedStreamEmulator::IsAtEnd() {
  ThrowIfShutDown();
  if (m_Writing) {
    PassOn();
    return Inner().IsAtEnd();
  }
  if (Unread() > 0) return false;
  return Inner().IsAtEnd();
}

void CBufferedStreamEmulator::Shutdown() {
  m_ShutDown = true;
  if (m_Inner) m_Inner->Shutdown();
}

void CBufferedStreamEmulator::Close() { CloseStream(false); }

void CBufferedStreamEmulator::CloseNoThrow() { CloseStream(true); }

// Everything is released even when the last bytes cannot be passed on
// (after a shutdown, say): that failure is reported afterwards instead of
// leaving the wrapped stream open.
void CBufferedStreamEmulator::CloseStream(bool noThrow) {
  DeferredError failure;
  if (m_Inner) {
    if (m_Writing && m_Cursor > m_Buffer) {
      failure.Run([this] {
        ThrowIfShutDown();
        PassOn();
      });
    }
    if (m_OwnsInner) failure.Close(*m_Inner, noThrow);
    m_Inner = nullptr;
  }
  delete[] m_Buffer;
  m_Buffer = m_Cursor = m_End = nullptr;
  m_Writing = false;
  m_Capabilities = 0;
  CError* error = failure.Take(noThrow);
  if (m_DeleteOnClose) delete this;
  if (error) throw error;
}

CStreamError* CBufferedStreamEmulator::GetPendingError() { return m_Inner ? m_Inner->GetPendingError() : nullptr; }

DWORD CBufferedStreamEmulator::GetContentType(CStr& type) { return Inner().GetContentType(type); }
