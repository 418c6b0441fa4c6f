// CTempStream: a stream on a temporary file that deletes the file when it
// is closed. It owns the stream it wraps (a disk file stream on the file,
// possibly behind emulators) and passes every operation to it. Made only by
// the file system, which names the file with a "file://" URL; a plain path
// works as well. A temporary stream always deletes itself on close.
#pragma once

#include "foundation/streams/Stream.h"

class CTempStream : public CStream {
  TWL_DECLARE_CLASS(CTempStream)
 public:
  explicit CTempStream(CStream* inner) noexcept : m_Inner(inner) {}
  CTempStream(const CTempStream&) = delete;
  CTempStream& operator=(const CTempStream&) = delete;
  // Closes the inner stream and deletes the file unless Close did.
  ~CTempStream() override;

  void SetProperty(DWORD index, DWORD value) override { m_Inner->SetProperty(index, value); }
  DWORD GetProperty(DWORD index) override { return m_Inner->GetProperty(index); }
  CStr& GetURL(CStr& url) override { return m_Inner->GetURL(url); }
  DWORD GetCapabilities() override { return m_Inner->GetCapabilities(); }
  DWORD Read(void* buffer, DWORD size) override { return m_Inner->Read(buffer, size); }
  DWORD ReadSome(void* buffer, DWORD size) override { return m_Inner->ReadSome(buffer, size); }
  DWORD Skip(DWORD count) override { return m_Inner->Skip(count); }
  DWORD SkipSome(DWORD count) override { return m_Inner->SkipSome(count); }
  void Write(const void* buffer, DWORD size) override { m_Inner->Write(buffer, size); }
  void Flush() override { m_Inner->Flush(); }
  LONGLONG Seek(LONGLONG offset, DWORD origin, HANDLE abortEvent) override {
    return m_Inner->Seek(offset, origin, abortEvent);
  }
  bool SeekWouldWait(LONGLONG offset, DWORD origin) override { return m_Inner->SeekWouldWait(offset, origin); }
  LONGLONG GetPosition() override { return m_Inner->GetPosition(); }
  LONGLONG GetLength(bool immediate, HANDLE abortEvent) override { return m_Inner->GetLength(immediate, abortEvent); }
  DWORD GetTransferRate() override { return m_Inner->GetTransferRate(); }
  bool IsAtEnd() override { return m_Inner->IsAtEnd(); }
  void Shutdown() override { m_Inner->Shutdown(); }
  // Closes the inner stream, deletes the file and then this object. When
  // the inner stream's Close throws, the file and this object stay.
  void Close() override;
  // The same, discarding every error.
  void CloseNoThrow() override;
  CStreamError* GetPendingError() override { return m_Inner->GetPendingError(); }

 private:
  CStream* m_Inner;
};
