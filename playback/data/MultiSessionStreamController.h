// CMultiSessionStreamController: a session slot. Bound to one URL, it keeps
// one shared stream (CMultiSessionStream) open on it between successive
// openers, so the file being identified and then played is fetched once;
// every other URL opens plainly through the file system. A slot can be
// aborted (a read hanging in its shared stream returns with CStreamError
// 19, and opens fail with 19 until the slot is bound again), detached (the
// open session goes on alone and the slot closes when it ends) and closed.
//
// Threading: sessions open and read on their openers' threads; the slot is
// bound, aborted, detached and closed from the user-interface thread. The
// main lock serialises the slot's operations, including an Open while it
// connects; Abort never waits for it: it takes only the small stream lock
// that guards the aborted flag and the shared stream pointer. Locks in the
// order they are taken: main, stream, then the shared stream's; the counter
// lock comes last, also under the shared stream's call lock (its reports).
#pragma once

#include <windows.h>

#include "foundation/kernel/CriticalSection.h"
#include "foundation/kernel/Str.h"
#include "foundation/kernel/TypedObject.h"

class CMultiSessionStream;
class CStream;

class CMultiSessionStreamController : public CTypedObject {
  TWL_DECLARE_CLASS(CMultiSessionStreamController)
 public:
  // What GetProgress answers while no session is open.
  static constexpr ULONGLONG kNoSession = ~0ull;

  CMultiSessionStreamController() = default;
  CMultiSessionStreamController(const CMultiSessionStreamController&) = delete;
  CMultiSessionStreamController& operator=(const CMultiSessionStreamController&) = delete;
  // Lets go of the shared stream softly.
  ~CMultiSessionStreamController() override;

  // Binds the slot to the URL and ends an abort. A different URL (or a
  // slot waiting to close) first lets go of the shared stream softly.
  void SetUrl(const char* url);
  // Lets go of the shared stream (hard: at once, an open session fails with
  // CStreamError 19 from then on; soft: when its session ends) and unbinds
  // the slot.
  void Close(bool hard);
  // Whether the slot is bound to exactly this URL (byte for byte).
  bool IsOn(const char* url);
  // Marks the slot aborted and shuts its shared stream down, also one that
  // an Open is opening right now; returns at once.
  void Abort();
  // A stream on the URL for the caller, to be closed by the caller. The
  // bound URL opens a session on the shared stream (wrapped in the
  // emulators the flags ask for), from position 0; a second opener while a
  // session is open gets a fresh shared stream and the old one stays with
  // its session. Any other URL opens plainly through the file system
  // (CFileSystem::Open with flags and forbidden emulators). Throws what the
  // file system throws, CStreamError 6 without a URL, and CStreamError 19
  // for the bound URL while the slot is aborted.
  CStream* Open(const char* url, DWORD flags, DWORD forbidden);
  // The open session goes on alone and the slot closes when it ends;
  // without a session the shared stream is let go softly.
  void Detach();
  // Bytes read through the slot's current session; kNoSession while none
  // is open.
  ULONGLONG GetProgress();

 private:
  static void OnProgress(CMultiSessionStream* stream, void* context, DWORD event, DWORD valueLow, DWORD valueHigh);
  void ReleaseShared(bool hard);
  void ThrowIfAborted(const char* url);
  // A session on the shared stream that is there, or on a fresh one when
  // that one cannot start a session any more.
  CStream* OpenOnShared(DWORD flags, DWORD forbidden, bool seekMode);
  // A new shared stream on the bound URL with a session open on it, wrapped
  // for the caller. On failure everything made is let go.
  CStream* OpenFresh(DWORD flags, DWORD forbidden, bool seekMode);
  // Opens the session on the shared stream and wraps it; on failure the
  // session is ended again.
  static CStream* StartSession(CMultiSessionStream& shared, DWORD flags, DWORD forbidden, bool seekMode);
  // Forgets the shared stream (under the stream lock) and returns it.
  CMultiSessionStream* TakeShared();
  void ResetCounter(CMultiSessionStream* counted, ULONGLONG value);

  CriticalSection m_MainLock;
  CriticalSection m_StreamLock;
  CriticalSection m_CounterLock;

  // Guarded by the main lock.
  CStr m_URL;  // empty: unbound
  bool m_CloseWhenIdle = false;
  // Written under the main and the stream lock; read under either.
  CMultiSessionStream* m_Shared = nullptr;
  bool m_Aborted = false;
  // Guarded by the counter lock.
  ULONGLONG m_Progress = kNoSession;
  CMultiSessionStream* m_Counted = nullptr;
};
