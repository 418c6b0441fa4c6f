#include "playback/data/MultiSessionStreamController.h"

#include <new>

#include "foundation/filesystem/FileSystem.h"
#include "foundation/streams/StreamError.h"
#include "playback/data/MultiSessionStream.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CMultiSessionStreamController, CTypedObject)

namespace {

// Errors after which a reused shared stream is not worth a second try: the
// URL itself is the problem. Shut-down, lack of space, denied access and
// anything that is no stream error get a fresh shared stream instead.
bool EndsTheAttempt(const CError* error) {
  const auto* streamError = IsKindOf<CStreamError>(error) ? static_cast<const CStreamError*>(error) : nullptr;
  if (!streamError) return false;
  const DWORD code = streamError->GetCode();
  return code >= CStreamError::kNotPermitted && code <= CStreamError::kUnsupportedFormat &&
         code != CStreamError::kNotEnoughFreeSpace && code != CStreamError::kAccessDenied &&
         code != CStreamError::kShutdown;
}

}  // namespace

CMultiSessionStreamController::~CMultiSessionStreamController() { ReleaseShared(false); }

void CMultiSessionStreamController::SetUrl(const char* url) {
  CriticalSectionLock main(m_MainLock);
  {
    CriticalSectionLock stream(m_StreamLock);
    m_Aborted = false;
  }
  const char* wanted = url ? url : "";
  if (!(m_URL == wanted) || m_CloseWhenIdle) {
    Close(false);
    m_URL = wanted;
  }
  m_CloseWhenIdle = false;
}

void CMultiSessionStreamController::Close(bool hard) {
  CriticalSectionLock main(m_MainLock);
  ReleaseShared(hard);
  {
    CriticalSectionLock stream(m_StreamLock);
    m_Aborted = false;
  }
  m_URL = CStr();
  m_CloseWhenIdle = false;
}

bool CMultiSessionStreamController::IsOn(const char* url) {
  CriticalSectionLock main(m_MainLock);
  return url && !m_URL.IsEmpty() && m_URL == url;
}

void CMultiSessionStreamController::Abort() {
  CriticalSectionLock stream(m_StreamLock);
  m_Aborted = true;
  if (m_Shared) m_Shared->Shutdown();
}

CStream* CMultiSessionStreamController::Open(const char* url, DWORD flags, DWORD forbidden) {
  if (!url) ThrowError<CStreamError>(CStreamError::kInvalidParam);
  CriticalSectionLock main(m_MainLock);
  if (m_URL.IsEmpty() || !(m_URL == url)) {
    main.Leave();
    return GetFileSystem().Open(url, flags, forbidden);
  }
  ThrowIfAborted(url);
  // A second opener never shares an open session: the first keeps its
  // stream, which goes when that session closes.
  {
    CriticalSectionLock stream(m_StreamLock);
    if (m_Shared && m_Shared->IsInUse()) {
      stream.Leave();
      ReleaseShared(false);
    }
  }
  const bool seekMode = (flags & kStreamSeek) && !(forbidden & CFileSystem::kNoSeekableEmulator);
  CStream* opened = m_Shared ? OpenOnShared(flags, forbidden, seekMode) : OpenFresh(flags, forbidden, seekMode);
  // An Abort while this open ran may have found the shared stream before
  // the session started (which forgets a shut-down): the session ends.
  {
    CriticalSectionLock stream(m_StreamLock);
    if (m_Aborted) {
      stream.Leave();
      opened->CloseNoThrow();
      ThrowError<CStreamError>(CStreamError::kShutdown, url);
    }
  }
  ResetCounter(m_Shared, 0);
  return opened;
}

CStream* CMultiSessionStreamController::OpenOnShared(DWORD flags, DWORD forbidden, bool seekMode) {
  try {
    return StartSession(*m_Shared, flags, forbidden, seekMode);
  } catch (CError* error) {
    ReleaseShared(false);
    if (EndsTheAttempt(error)) throw;
    DisposeError(error);
  }
  return OpenFresh(flags, forbidden, seekMode);
}

CStream* CMultiSessionStreamController::OpenFresh(DWORD flags, DWORD forbidden, bool seekMode) {
  CMultiSessionStream* fresh = new (std::nothrow) CMultiSessionStream;
  if (!fresh) ThrowMemoryError();
  {
    // Published before it connects, so that an Abort can shut it down.
    CriticalSectionLock stream(m_StreamLock);
    if (m_Aborted) {
      stream.Leave();
      fresh->Release();
      ThrowError<CStreamError>(CStreamError::kShutdown, m_URL.c_str());
    }
    m_Shared = fresh;
  }
  try {
    fresh->Init(m_URL.c_str(), &OnProgress, this, true, false);
    return StartSession(*fresh, flags, forbidden, seekMode);
  } catch (CError*) {
    ReleaseShared(false);
    throw;
  }
}

CStream* CMultiSessionStreamController::StartSession(CMultiSessionStream& shared, DWORD flags, DWORD forbidden,
                                                     bool seekMode) {
  shared.Start(seekMode);
  try {
    return GetFileSystem().AddEmulators(&shared, flags, forbidden);
  } catch (CError*) {
    shared.CloseNoThrow();
    throw;
  }
}

void CMultiSessionStreamController::Detach() {
  CriticalSectionLock main(m_MainLock);
  if (!m_Shared) return;
  if (!m_Shared->IsInUse()) {
    ReleaseShared(false);
    return;
  }
  m_Shared->MarkDetached();
  m_CloseWhenIdle = true;
}

ULONGLONG CMultiSessionStreamController::GetProgress() {
  CriticalSectionLock counter(m_CounterLock);
  return m_Progress;
}

void CMultiSessionStreamController::OnProgress(CMultiSessionStream* stream, void* context, DWORD event,
                                               DWORD valueLow, DWORD valueHigh) {
  auto& slot = *static_cast<CMultiSessionStreamController*>(context);
  if (event == kProgressRead) {
    CriticalSectionLock counter(slot.m_CounterLock);
    if (stream == slot.m_Counted) slot.m_Progress += static_cast<ULONGLONG>(valueHigh) << 32 | valueLow;
    return;
  }
  if (event != kProgressClosed) return;
  CriticalSectionLock main(slot.m_MainLock);
  if (stream != slot.m_Shared) return;
  slot.ResetCounter(nullptr, kNoSession);
  if (slot.m_CloseWhenIdle) slot.Close(false);
}

void CMultiSessionStreamController::ReleaseShared(bool hard) {
  CriticalSectionLock main(m_MainLock);
  if (CMultiSessionStream* shared = TakeShared()) {
    if (hard)
      shared->Destroy();
    else
      shared->Release();
  }
  ResetCounter(nullptr, kNoSession);
}

void CMultiSessionStreamController::ThrowIfAborted(const char* url) {
  CriticalSectionLock stream(m_StreamLock);
  if (m_Aborted) ThrowError<CStreamError>(CStreamError::kShutdown, url);
}

CMultiSessionStream* CMultiSessionStreamController::TakeShared() {
  CriticalSectionLock stream(m_StreamLock);
  CMultiSessionStream* shared = m_Shared;
  m_Shared = nullptr;
  return shared;
}

void CMultiSessionStreamController::ResetCounter(CMultiSessionStream* counted, ULONGLONG value) {
  CriticalSectionLock counter(m_CounterLock);
  m_Counted = counted;
  m_Progress = value;
}
