// CDiskFileStream: a file read and written through the Win32 file calls.
// Its URL is a plain path or a "file://" URL (the scheme in any case); the
// stream is always seekable and of known length, and may seek past the end
// as the operating system allows. It leaves permission checks to the
// operating system, whose refusal arrives as CStreamError 12. Every failing
// call throws the mapped stream error with the URL as path. No lock: one
// thread at a time.
#pragma once

#include <atomic>

#include "foundation/streams/NonFlowingStream.h"

class CDiskFileStream : public CNonFlowingStream {
  TWL_DECLARE_CLASS(CDiskFileStream)
 public:
  CDiskFileStream() noexcept = default;
  ~CDiskFileStream() override;

  // Opens the URL with the wanted read and write access, sharing bits and
  // creation mode (see StreamFlags.h). An open stream closes its file first.
  // Reading is refused (CStreamError 5, "'PATH' is no file but a pipe or a
  // device: it is not read.") for a named pipe or a device such as
  // /dev/zero.
  void Open(const char* url, DWORD flags, bool deleteOnClose);

  CStr& GetURL(CStr& url) override;
  DWORD GetCapabilities() override { return m_Capabilities; }
  DWORD Read(void* buffer, DWORD size) override;
  // Never moves backwards, also after a seek past the end.
  DWORD Skip(DWORD count) override;
  void Write(const void* buffer, DWORD size) override;
  void Flush() override;
  LONGLONG Seek(LONGLONG offset, DWORD origin, HANDLE abortEvent) override;
  bool SeekWouldWait(LONGLONG offset, DWORD origin) override;
  LONGLONG GetPosition() override;
  LONGLONG GetLength(bool immediate, HANDLE abortEvent) override;
  DWORD GetTransferRate() override;
  bool IsAtEnd() override;
  void Shutdown() override { m_ShutDown = true; }
  // Close and CloseNoThrow are one operation that never throws.
  void Close() override;
  void CloseNoThrow() override { Close(); }

  // The file path of a URL this stream opens: the URL without "file://"
  // (any case), or the URL itself when it has no scheme; null for any other
  // scheme.
  static const char* PathOfURL(const char* url);

 private:
  void ThrowIfShutDown();
  [[noreturn]] void ThrowLastError();
  LONGLONG MoveFilePointer(LONGLONG distance, DWORD method);

  HANDLE m_File = nullptr;
  CStr m_URL;
  DWORD m_Capabilities = 0;
  DWORD m_TransferRate = 0;
  bool m_DeleteOnClose = false;
  // Set by Shutdown, which may come from another thread while a reader is
  // inside the stream.
  std::atomic<bool> m_ShutDown{false};
};
