// CMultiSessionStream: one underlying stream on a URL that successive
// openers ("sessions") read one after another, each from the start, so that
// a slow source (a network stream behind the file system's seekable read
// buffer) is fetched once for the file identifier and every candidate
// player. A session slot (CMultiSessionStreamController) owns it and hands
// it out; it counts the bytes each session reads, yields the processor for
// 1 ms every 51 200 bytes, and can be shut down from another thread to end
// a read that hangs.
//
// Threading: the session reads on its opener's thread; the slot releases,
// destroys and shuts the stream down from other threads. Every forwarded
// operation runs under the call lock, so a session's calls never overlap;
// Shutdown takes only the shut-down lock and so works while a read blocks.
// Locks, in the order they are taken: call, state, shut-down.
#pragma once

#include <windows.h>

#include "foundation/kernel/CriticalSection.h"
#include "foundation/kernel/Str.h"
#include "foundation/streams/Stream.h"

class CMultiSessionStream;

// Told what a session does: kProgressRead (value = bytes read or skipped),
// kProgressSeek (value = the new position), kProgressClosed (the session
// ended). Called on the session's thread, with the call lock held for the
// first two and with no lock of the stream held for the last.
enum MultiSessionProgressEvent : DWORD {
  kProgressRead = 0,
  kProgressSeek = 1,
  kProgressClosed = 2,
};
using MultiSessionReporter = void (*)(CMultiSessionStream* stream, void* context, DWORD event, DWORD valueLow,
                                      DWORD valueHigh);

class CMultiSessionStream : public CStream {
  TWL_DECLARE_CLASS(CMultiSessionStream)
 public:
  // A session yields the processor after this many bytes.
  static constexpr DWORD kYieldThreshold = 51200;
  // The flags and forbidden emulators of the underlying open: seekable
  // (through the read buffer when the source cannot seek), length known,
  // buffered, flowing, an existing file, others may read.
  static constexpr DWORD kUnderlyingOpenFlags = 0x14050C;
  static constexpr DWORD kUnderlyingForbidden = 14;

  CMultiSessionStream() = default;

  // Opens the underlying stream through the file system, for reading
  // and/or writing. A Shutdown that came while the file system was opening
  // shuts the new stream down at once. Errors of the file system pass on.
  void Init(const char* url, MultiSessionReporter reporter, void* context, bool read, bool write);
  // Opens a session at position 0. With seek mode off, a stream on the
  // seekable read buffer refuses seeks (the buffer may then drop what was
  // read). Throws the underlying stream's pending error, or what the seek
  // to 0 throws.
  void Start(bool seekMode);
  bool IsInUse();
  // The owner lets go: without an open session the object is deleted now,
  // otherwise when the session closes (and the read buffer below stops
  // keeping data for seeks the session did not ask for). No more reports.
  void Release();
  // The owner lets go at once: the underlying stream is shut down and
  // closed; an open session gets CStreamError 19 from then on and deletes
  // the object when it closes.
  void Destroy();
  // The session goes on alone: the read buffer below may drop what was
  // read unless the session asked for seeking.
  void MarkDetached();

  void SetProperty(DWORD index, DWORD value) override;
  DWORD GetProperty(DWORD index) override;
  CStr& GetURL(CStr& url) override;
  DWORD GetCapabilities() override;
  DWORD Read(void* buffer, DWORD size) override;
  DWORD ReadSome(void* buffer, DWORD size) override;
  DWORD Skip(DWORD count) override;
  DWORD SkipSome(DWORD count) override;
  void Write(const void* buffer, DWORD size) override;
  void Flush() override;
  LONGLONG Seek(LONGLONG offset, DWORD origin, HANDLE abortEvent) override;
  bool SeekWouldWait(LONGLONG offset, DWORD origin) override;
  LONGLONG GetPosition() override;
  LONGLONG GetLength(bool immediate, HANDLE abortEvent) override;
  DWORD GetTransferRate() override;
  bool IsAtEnd() override;
  // Any thread, any time: every later call throws CStreamError 19, and a
  // read blocked in the underlying stream returns.
  void Shutdown() override;
  // End the session (not the stream, which waits for the next one).
  void Close() override;
  void CloseNoThrow() override;
  CStreamError* GetPendingError() override;
  DWORD GetContentType(CStr& type) override;

 private:
  ~CMultiSessionStream() override;

  // The underlying stream, or CStreamError 19 when shut down.
  CStream& Usable();
  bool IsShutDown();
  bool SeekRefused();
  // Reports a count and tells whether the session has earned its yield.
  bool CountRead(DWORD count);
  // Runs one read or skip and counts it; yields after the call lock is
  // left when the threshold was reached.
  template <class Operation>
  DWORD Transfer(Operation operation);
  void EndSession(bool flush);
  void DisableSeekingBelow();

  CriticalSection m_CallLock;
  CriticalSection m_StateLock;
  CriticalSection m_ShutdownLock;

  // Guarded by the call lock.
  MultiSessionReporter m_Reporter = nullptr;
  void* m_ReporterContext = nullptr;
  // Set by Init and then fixed; dropped by Destroy under the shut-down
  // lock as well.
  CStream* m_Underlying = nullptr;
  CStr m_URL;
  DWORD m_Capabilities = 0;
  bool m_Emulated = false;
  bool m_Writable = false;
  // Guarded by the state lock.
  bool m_InUse = false;
  bool m_SeekMode = false;
  bool m_DeleteWhenClosed = false;
  bool m_Reporting = false;  // a closing session is still reporting: not deleted meanwhile
  DWORD m_SinceYield = 0;
  // Guarded by the shut-down lock.
  bool m_ShutDown = false;
};
