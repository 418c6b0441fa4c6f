#include "playback/data/MultiSessionStream.h"

#include "foundation/emulators/SeekableReadStreamEmulator.h"
#include "foundation/filesystem/FileSystem.h"
#include "foundation/streams/StreamError.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CMultiSessionStream, CStream)

namespace {

// Shutdown must not throw: it comes from whoever stops playback.
void ShutdownQuietly(CStream& stream) {
  try {
    stream.Shutdown();
  } catch (CError* error) {
    DisposeError(error);
  }
}

}  // namespace

CMultiSessionStream::~CMultiSessionStream() {
  if (m_Underlying) m_Underlying->CloseNoThrow();
}

void CMultiSessionStream::Init(const char* url, MultiSessionReporter reporter, void* context, bool read,
                               bool write) {
  const DWORD flags = kUnderlyingOpenFlags | (read ? kStreamRead : 0) | (write ? kStreamWrite : 0);
  CStream* underlying = GetFileSystem().Open(url, flags, kUnderlyingForbidden);
  try {
    m_Capabilities = underlying->GetCapabilities();
    underlying->GetURL(m_URL);
  } catch (CError*) {
    underlying->CloseNoThrow();
    throw;
  }
  m_Emulated = ::IsKindOf<CSeekableReadStreamEmulator>(underlying);
  m_Writable = write;
  {
    CriticalSectionLock call(m_CallLock);
    m_Reporter = reporter;
    m_ReporterContext = context;
  }
  {
    CriticalSectionLock state(m_StateLock);
    m_DeleteWhenClosed = false;
    m_SinceYield = 0;
  }
  // A Shutdown while the file system was connecting found nothing to shut
  // down yet: the new stream inherits it.
  CriticalSectionLock shutdown(m_ShutdownLock);
  m_Underlying = underlying;
  if (m_ShutDown) ShutdownQuietly(*underlying);
}

void CMultiSessionStream::Start(bool seekMode) {
  CriticalSectionLock call(m_CallLock);
  if (!m_Underlying) ThrowError<CStreamError>(CStreamError::kShutdown, m_URL.c_str());
  if (CStreamError* pending = m_Underlying->GetPendingError()) throw pending;
  {
    CriticalSectionLock state(m_StateLock);
    m_InUse = true;
    m_SeekMode = seekMode;
    m_SinceYield = 0;
  }
  {
    CriticalSectionLock shutdown(m_ShutdownLock);
    m_ShutDown = false;
  }
  try {
    m_Underlying->Seek(0, kSeekFromStart, nullptr);
  } catch (CError*) {
    CriticalSectionLock state(m_StateLock);
    m_InUse = false;
    throw;
  }
}

bool CMultiSessionStream::IsInUse() {
  CriticalSectionLock state(m_StateLock);
  return m_InUse;
}

void CMultiSessionStream::Release() {
  CriticalSectionLock call(m_CallLock);
  m_Reporter = nullptr;
  m_ReporterContext = nullptr;
  bool sessionGoesOn = false;
  bool dropBuffer = false;
  {
    CriticalSectionLock state(m_StateLock);
    sessionGoesOn = m_InUse || m_Reporting;
    if (sessionGoesOn) m_DeleteWhenClosed = true;
    dropBuffer = m_InUse && !m_SeekMode;
  }
  if (dropBuffer) DisableSeekingBelow();
  call.Leave();
  if (!sessionGoesOn) delete this;
}

void CMultiSessionStream::Destroy() {
  Shutdown();
  CriticalSectionLock call(m_CallLock);
  CStream* underlying = nullptr;
  {
    CriticalSectionLock shutdown(m_ShutdownLock);
    underlying = m_Underlying;
    m_Underlying = nullptr;
    m_ShutDown = true;
  }
  if (underlying) underlying->CloseNoThrow();
  m_Reporter = nullptr;
  m_ReporterContext = nullptr;
  bool sessionGoesOn = false;
  {
    CriticalSectionLock state(m_StateLock);
    sessionGoesOn = m_InUse || m_Reporting;
    if (sessionGoesOn) m_DeleteWhenClosed = true;
  }
  call.Leave();
  if (!sessionGoesOn) delete this;
}

void CMultiSessionStream::MarkDetached() {
  CriticalSectionLock call(m_CallLock);
  bool dropBuffer = false;
  {
    CriticalSectionLock state(m_StateLock);
    dropBuffer = m_InUse && !m_SeekMode;
  }
  if (dropBuffer) DisableSeekingBelow();
}

// Nobody will seek back any more: the read buffer may stop keeping what
// was read and read straight from its source once it has served it.
void CMultiSessionStream::DisableSeekingBelow() {
  if (!m_Emulated || !m_Underlying || IsShutDown()) return;
  try {
    static_cast<CSeekableReadStreamEmulator*>(m_Underlying)->DisableSeeking();
  } catch (CError* error) {
    DisposeError(error);
  }
}

bool CMultiSessionStream::IsShutDown() {
  CriticalSectionLock shutdown(m_ShutdownLock);
  return m_ShutDown;
}

CStream& CMultiSessionStream::Usable() {
  if (IsShutDown() || !m_Underlying) ThrowError<CStreamError>(CStreamError::kShutdown, m_URL.c_str());
  return *m_Underlying;
}

bool CMultiSessionStream::SeekRefused() {
  CriticalSectionLock state(m_StateLock);
  return !m_SeekMode && m_Emulated;
}

bool CMultiSessionStream::CountRead(DWORD count) {
  if (m_Reporter) m_Reporter(this, m_ReporterContext, kProgressRead, count, 0);
  CriticalSectionLock state(m_StateLock);
  m_SinceYield += count;
  if (m_SinceYield < kYieldThreshold) return false;
  m_SinceYield = 0;
  return true;
}

template <class Operation>
DWORD CMultiSessionStream::Transfer(Operation operation) {
  DWORD count = 0;
  bool yield = false;
  {
    CriticalSectionLock call(m_CallLock);
    count = operation(Usable());
    yield = CountRead(count);
  }
  // Outside the lock, so a fast local read leaves room for the
  // user-interface thread.
  if (yield) SleepEx(1, FALSE);
  return count;
}

void CMultiSessionStream::SetProperty(DWORD index, DWORD value) {
  CriticalSectionLock call(m_CallLock);
  Usable().SetProperty(index, value);
}

DWORD CMultiSessionStream::GetProperty(DWORD index) {
  CriticalSectionLock call(m_CallLock);
  return Usable().GetProperty(index);
}

// The URL never changes after Init, so it needs no lock: it names the
// stream in errors even while a read blocks.
CStr& CMultiSessionStream::GetURL(CStr& url) { return url = m_URL; }

DWORD CMultiSessionStream::GetCapabilities() {
  CriticalSectionLock call(m_CallLock);
  Usable();
  return SeekRefused() ? m_Capabilities & ~kStreamSeek : m_Capabilities;
}

DWORD CMultiSessionStream::Read(void* buffer, DWORD size) {
  return Transfer([&](CStream& stream) { return stream.Read(buffer, size); });
}

DWORD CMultiSessionStream::ReadSome(void* buffer, DWORD size) {
  return Transfer([&](CStream& stream) { return stream.ReadSome(buffer, size); });
}

DWORD CMultiSessionStream::Skip(DWORD count) {
  return Transfer([&](CStream& stream) { return stream.Skip(count); });
}

DWORD CMultiSessionStream::SkipSome(DWORD count) {
  return Transfer([&](CStream& stream) { return stream.SkipSome(count); });
}

void CMultiSessionStream::Write(const void* buffer, DWORD size) {
  CriticalSectionLock call(m_CallLock);
  Usable().Write(buffer, size);
}

void CMultiSessionStream::Flush() {
  CriticalSectionLock call(m_CallLock);
  Usable().Flush();
}

LONGLONG CMultiSessionStream::Seek(LONGLONG offset, DWORD origin, HANDLE abortEvent) {
  CriticalSectionLock call(m_CallLock);
  CStream& stream = Usable();
  if (SeekRefused()) ThrowError<CStreamError>(CStreamError::kNotPermitted, m_URL.c_str());
  const LONGLONG position = stream.Seek(offset, origin, abortEvent);
  if (m_Reporter) {
    const auto bits = static_cast<ULONGLONG>(position);
    m_Reporter(this, m_ReporterContext, kProgressSeek, static_cast<DWORD>(bits), static_cast<DWORD>(bits >> 32));
  }
  return position;
}

bool CMultiSessionStream::SeekWouldWait(LONGLONG offset, DWORD origin) {
  CriticalSectionLock call(m_CallLock);
  CStream& stream = Usable();
  if (SeekRefused()) ThrowError<CStreamError>(CStreamError::kNotPermitted, m_URL.c_str());
  return stream.SeekWouldWait(offset, origin);
}

LONGLONG CMultiSessionStream::GetPosition() {
  CriticalSectionLock call(m_CallLock);
  return Usable().GetPosition();
}

LONGLONG CMultiSessionStream::GetLength(bool immediate, HANDLE abortEvent) {
  CriticalSectionLock call(m_CallLock);
  return Usable().GetLength(immediate, abortEvent);
}

DWORD CMultiSessionStream::GetTransferRate() {
  CriticalSectionLock call(m_CallLock);
  return Usable().GetTransferRate();
}

bool CMultiSessionStream::IsAtEnd() {
  CriticalSectionLock call(m_CallLock);
  return Usable().IsAtEnd();
}

void CMultiSessionStream::Shutdown() {
  CriticalSectionLock shutdown(m_ShutdownLock);
  if (m_ShutDown) return;
  m_ShutDown = true;
  if (m_Underlying) ShutdownQuietly(*m_Underlying);
}

void CMultiSessionStream::Close() { EndSession(true); }

void CMultiSessionStream::CloseNoThrow() { EndSession(false); }

// The session ends; the stream stays for the next one unless its owner let
// go of it meanwhile. The reporter stays too: every session reports.
void CMultiSessionStream::EndSession(bool flush) {
  MultiSessionReporter reporter = nullptr;
  void* context = nullptr;
  CError* failure = nullptr;
  {
    CriticalSectionLock call(m_CallLock);
    reporter = m_Reporter;
    context = m_ReporterContext;
    {
      CriticalSectionLock state(m_StateLock);
      m_InUse = false;
      m_Reporting = true;
    }
    if (flush && m_Writable && m_Underlying && !IsShutDown()) {
      try {
        m_Underlying->Flush();
      } catch (CError* error) {
        failure = error;
      }
    }
  }
  if (reporter) reporter(this, context, kProgressClosed, 0, 0);
  bool deleteNow = false;
  {
    CriticalSectionLock state(m_StateLock);
    m_Reporting = false;
    deleteNow = m_DeleteWhenClosed;
  }
  if (deleteNow) delete this;
  if (failure) throw failure;
}

CStreamError* CMultiSessionStream::GetPendingError() {
  CriticalSectionLock call(m_CallLock);
  if (IsShutDown() || !m_Underlying) return new CStreamError(CStreamError::kShutdown, m_URL.c_str());
  return m_Underlying->GetPendingError();
}

DWORD CMultiSessionStream::GetContentType(CStr& type) {
  CriticalSectionLock call(m_CallLock);
  return Usable().GetContentType(type);
}
