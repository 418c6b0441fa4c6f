// Test-only sources for the file system and emulator tests.
//
// CPipeStreamProvider serves "pipe://" + path: the file's bytes as a
// network stream would give them (readable only, not seekable, length
// unknown), at a chosen rate, optionally held back at an offset or failing
// at one. Its counters tell how often it was opened and how many bytes it
// served. Streams and provider share their state, so the counters stay
// readable after the file system deleted the provider; counters and the
// hold may be used from any thread.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "foundation/streams/Stream.h"
#include "foundation/streams/StreamProvider.h"

namespace streamtest {

struct PipeSettings {
  DWORD bytesPerSecond = 0;  // 0: as fast as asked
  LONGLONG failAt = -1;      // reading the byte at this offset fails (connection lost)
};

struct PipeState;

// A pipe stream over bytes in memory; delete-on-close.
class CPipeStream : public CStream {
 public:
  CPipeStream(std::string url, std::string bytes, std::shared_ptr<PipeState> state);
  ~CPipeStream() override;

  CStr& GetURL(CStr& url) override;
  DWORD GetCapabilities() override { return kStreamRead; }
  DWORD Read(void* buffer, DWORD size) override;
  DWORD ReadSome(void* buffer, DWORD size) override;
  DWORD Skip(DWORD count) override;
  DWORD SkipSome(DWORD count) override;
  void Write(const void* buffer, DWORD size) override;
  void Flush() override {}
  LONGLONG Seek(LONGLONG offset, DWORD origin, HANDLE abortEvent) override;
  bool SeekWouldWait(LONGLONG offset, DWORD origin) override;
  LONGLONG GetPosition() override;
  LONGLONG GetLength(bool immediate, HANDLE abortEvent) override;
  DWORD GetTransferRate() override;
  bool IsAtEnd() override;
  void Shutdown() override;
  void Close() override { delete this; }
  void CloseNoThrow() override { delete this; }

 private:
  DWORD Take(void* buffer, DWORD size);
  DWORD TakeAll(void* buffer, DWORD size);
  void ThrowIfShutDown();

  std::string m_URL;
  std::string m_Bytes;
  std::shared_ptr<PipeState> m_State;
  size_t m_Position = 0;
  unsigned long long m_OpenedAtMs;
  std::atomic<bool> m_ShutDown{false};  // may come from another thread
};

class CPipeStreamProvider : public CStreamProvider {
 public:
  explicit CPipeStreamProvider(PipeSettings settings = {});

  bool CanOpen(const char* url, DWORD flags, StreamOpenAnswer& answer) override;
  CStream* Open(const char* url, DWORD flags) override;

  // Shared with the streams; valid after the provider is gone.
  std::shared_ptr<PipeState> State() const { return m_State; }

 private:
  std::shared_ptr<PipeState> m_State;
};

int PipeOpens(const PipeState& state);
LONGLONG PipeBytesServed(const PipeState& state);
int PipeStreamsOpen(const PipeState& state);
LONGLONG PipeReadSomeCalls(const PipeState& state);
// No byte at or beyond `offset` is served until the hold moves (-1: none).
void HoldPipeAt(PipeState& state, LONGLONG offset);

// A pipe provider in the global file system for the scope's lifetime;
// taken out again the way the data system does it (found by index, removed
// and deleted).
class ScopedPipeProvider {
 public:
  explicit ScopedPipeProvider(PipeSettings settings = {});
  ~ScopedPipeProvider();
  ScopedPipeProvider(const ScopedPipeProvider&) = delete;
  ScopedPipeProvider& operator=(const ScopedPipeProvider&) = delete;

  PipeState& State() const { return *m_State; }

 private:
  CPipeStreamProvider* m_Provider;
  std::shared_ptr<PipeState> m_State;
};

// Deterministic bytes of a given size, different at every offset.
std::string PatternBytes(size_t size, unsigned seed = 1);

// Waits until the condition holds, polling; false after `timeoutMs`.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 30000);

// Names of the files in the temporary folder that begin with "bfs".
std::vector<std::string> TempFilesLeft();

}  // namespace streamtest
