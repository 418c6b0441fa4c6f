// A memory stream that writes down the calls an emulator makes of it, for
// tests that show how many and which calls reach the wrapped stream. It
// can pose as a slow source (ReadSome gives at most `someLimit` bytes),
// report other capabilities, an unknown length or a pending error, and
// fail its next writes. It never deletes itself: the test owns it, and its
// bytes stay readable after it is closed.
#pragma once

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "foundation/streams/MemoryStream.h"
#include "foundation/streams/StreamError.h"

namespace streamtest {

class CRecordingStream : public CMemoryStream {
 public:
  explicit CRecordingStream(const std::string& bytes, DWORD flags = kStreamRead | kStreamWrite | kStreamSeek) {
    BYTE* block = bytes.empty() ? nullptr : new BYTE[bytes.size()];
    if (block) std::memcpy(block, bytes.data(), bytes.size());
    Open(block, static_cast<DWORD>(bytes.size()), flags, 4096, false);
    m_Size = bytes.size();
  }

  std::vector<std::string> calls;
  DWORD someLimit = 0xFFFFFFFFu;
  DWORD reportedCapabilities = 0;  // 0: the stream's own
  bool lengthUnknown = false;
  bool pendingError = false;
  int failingWrites = 0;
  bool closed = false;
  std::string closedBytes;

  std::string Bytes() {
    if (closed) return closedBytes;
    return std::string(reinterpret_cast<const char*>(GetBuffer()), m_Size);
  }
  void ClearCalls() { calls.clear(); }

  DWORD GetCapabilities() override {
    return reportedCapabilities ? reportedCapabilities : CMemoryStream::GetCapabilities();
  }
  DWORD Read(void* buffer, DWORD size) override {
    calls.push_back("Read " + std::to_string(size));
    return CMemoryStream::Read(buffer, size);
  }
  DWORD ReadSome(void* buffer, DWORD size) override {
    calls.push_back("ReadSome " + std::to_string(size));
    return CMemoryStream::Read(buffer, std::min(size, someLimit));
  }
  DWORD Skip(DWORD count) override {
    calls.push_back("Skip " + std::to_string(count));
    return CMemoryStream::Skip(count);
  }
  DWORD SkipSome(DWORD count) override {
    calls.push_back("SkipSome " + std::to_string(count));
    return CMemoryStream::Skip(std::min(count, someLimit));
  }
  void Write(const void* buffer, DWORD size) override {
    calls.push_back("Write " + std::to_string(size));
    if (failingWrites > 0) {
      --failingWrites;
      ThrowError<CStreamError>(CStreamError::kNotEnoughFreeSpace);
    }
    CMemoryStream::Write(buffer, size);
    m_Size = std::max<size_t>(m_Size, static_cast<size_t>(CMemoryStream::GetPosition()));
  }
  void Flush() override {
    calls.push_back("Flush");
    CMemoryStream::Flush();
  }
  LONGLONG Seek(LONGLONG offset, DWORD origin, HANDLE abortEvent) override {
    calls.push_back("Seek " + std::to_string(offset) + " " + std::to_string(origin));
    return CMemoryStream::Seek(offset, origin, abortEvent);
  }
  LONGLONG GetLength(bool immediate, HANDLE abortEvent) override {
    return lengthUnknown ? -1 : CMemoryStream::GetLength(immediate, abortEvent);
  }
  CStreamError* GetPendingError() override {
    return pendingError ? new CStreamError(CStreamError::kConnectionLost, "rec://pending") : nullptr;
  }
  CStr& GetURL(CStr& url) override { return url = "rec://stream"; }
  void Close() override {
    calls.push_back("Close");
    Finish();
  }
  void CloseNoThrow() override {
    calls.push_back("CloseNoThrow");
    Finish();
  }

 private:
  size_t m_Size = 0;  // known without asking the stream, which may be shut down

  void Finish() {
    if (closed) return;
    closedBytes = Bytes();
    closed = true;
    CMemoryStream::Close();
  }
};

}  // namespace streamtest
