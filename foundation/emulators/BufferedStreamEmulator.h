// CBufferedStreamEmulator: a memory buffer in front of a stream, so that
// many small reads or writes reach it as few large ones. The buffer holds
// either bytes read ahead or bytes written and not yet passed on, never
// both. No thread and no lock: one thread at a time (Shutdown excepted, as
// for every stream).
#pragma once

#include "foundation/streams/StreamEmulator.h"

class CBufferedStreamEmulator : public CStreamEmulator {
  TWL_DECLARE_CLASS(CBufferedStreamEmulator)
 public:
  CBufferedStreamEmulator() noexcept = default;
  ~CBufferedStreamEmulator() override;

  // Wraps `inner` with a buffer of `bufferSize` bytes. A stream that can
  // read and write but not seek is buffered in one direction only: writing
  // when `writeMode` is set, reading otherwise. An earlier attachment is
  // closed first (without deleting this object).
  void Attach(CStream* inner, bool writeMode, DWORD bufferSize, bool deleteOnClose, bool ownsInner);

  void SetProperty(DWORD index, DWORD value) override;
  CStr& GetURL(CStr& url) override;
  DWORD Read(void* buffer, DWORD size) override;
  DWORD ReadSome(void* buffer, DWORD size) override;
  DWORD Skip(DWORD count) override;
  DWORD SkipSome(DWORD count) override;
  void Write(const void* buffer, DWORD size) override;
  // Passes the collected bytes on; never flushes the wrapped stream itself.
  void Flush() override;
  LONGLONG Seek(LONGLONG offset, DWORD origin, HANDLE abortEvent) override;
  bool SeekWouldWait(LONGLONG offset, DWORD origin) override;
  LONGLONG GetPosition() override;
  LONGLONG GetLength(bool immediate, HANDLE abortEvent) override;
  DWORD GetTransferRate() override;
  bool IsAtEnd() override;
  void Shutdown() override;
  // Passes the collected bytes on, closes the wrapped stream when owned and
  // frees the buffer, all of it even when a step fails; the first failure
  // (the pending write after a shutdown, say) is thrown at the end.
  void Close() override;
  void CloseNoThrow() override;
  CStreamError* GetPendingError() override;
  DWORD GetContentType(CStr& type) override;

 private:
  void CloseStream(bool noThrow);
  void ThrowIfShutDown();
  void Require(DWORD capability);
  DWORD Unread() const { return static_cast<DWORD>(m_End - m_Cursor); }
  void PassOn();
  // Leaves write mode (passing the collected bytes on) before reading.
  void EnterReadMode();
  void EnterWriteMode();
  void Refill(DWORD minimum);
  template <class InnerRead>
  DWORD ReadBuffered(BYTE* target, DWORD size, DWORD minimum, InnerRead innerRead);
  template <class InnerSkip>
  DWORD SkipBuffered(DWORD count, InnerSkip innerSkip);

  BYTE* m_Buffer = nullptr;
  DWORD m_BufferSize = 0;
  BYTE* m_Cursor = nullptr;
  BYTE* m_End = nullptr;
  bool m_Writing = false;
  LONGLONG m_Position = 0;
  bool m_ShutDown = false;
};
