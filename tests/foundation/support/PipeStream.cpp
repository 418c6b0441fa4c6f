#include "PipeStream.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "foundation/filesystem/FileSystem.h"
#include "foundation/streams/StreamError.h"

namespace streamtest {

struct PipeState {
  explicit PipeState(PipeSettings s) : settings(s) {}
  const PipeSettings settings;
  std::atomic<int> opens{0};
  std::atomic<LONGLONG> served{0};
  std::atomic<int> streamsOpen{0};
  std::atomic<LONGLONG> holdAt{-1};
  std::atomic<LONGLONG> someCalls{0};
};

namespace {

constexpr char kScheme[] = "pipe://";
constexpr size_t kSchemeLength = sizeof kScheme - 1;

unsigned long long NowMs() {
  return static_cast<unsigned long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                             std::chrono::steady_clock::now().time_since_epoch())
                                             .count());
}

bool IsPipeURL(const char* url) { return url && std::strncmp(url, kScheme, kSchemeLength) == 0; }

}  // namespace

CPipeStream::CPipeStream(std::string url, std::string bytes, std::shared_ptr<PipeState> state)
    : m_URL(std::move(url)), m_Bytes(std::move(bytes)), m_State(std::move(state)), m_OpenedAtMs(NowMs()) {
  ++m_State->streamsOpen;
}

CPipeStream::~CPipeStream() { --m_State->streamsOpen; }

CStr& CPipeStream::GetURL(CStr& url) { return url = m_URL.c_str(); }

void CPipeStream::ThrowIfShutDown() {
  if (m_ShutDown) ThrowError<CStreamError>(CStreamError::kShutdown, m_URL.c_str());
}

// What can be had now: bounded by the rate since opening, the hold and
// the failure offset.
DWORD CPipeStream::Take(void* buffer, DWORD size) {
  ThrowIfShutDown();
  const PipeSettings& settings = m_State->settings;
  if (settings.failAt >= 0 && static_cast<LONGLONG>(m_Position) >= settings.failAt)
    ThrowError<CStreamError>(CStreamError::kConnectionLost, m_URL.c_str());
  size_t limit = m_Bytes.size();
  if (settings.bytesPerSecond) limit = std::min<size_t>(limit, (NowMs() - m_OpenedAtMs) * settings.bytesPerSecond / 1000);
  const LONGLONG hold = m_State->holdAt;
  if (hold >= 0) limit = std::min<size_t>(limit, static_cast<size_t>(hold));
  if (settings.failAt >= 0) limit = std::min<size_t>(limit, static_cast<size_t>(settings.failAt));
  const size_t count = limit > m_Position ? std::min<size_t>(size, limit - m_Position) : 0;
  if (buffer) std::memcpy(buffer, m_Bytes.data() + m_Position, count);
  m_Position += count;
  m_State->served += static_cast<LONGLONG>(count);
  return static_cast<DWORD>(count);
}

// Waits for the bytes as a blocking network read does, until the end.
DWORD CPipeStream::TakeAll(void* buffer, DWORD size) {
  DWORD total = 0;
  while (total < size && m_Position < m_Bytes.size()) {
    const DWORD got = Take(buffer ? static_cast<char*>(buffer) + total : nullptr, size - total);
    total += got;
    if (got == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return total;
}

DWORD CPipeStream::Read(void* buffer, DWORD size) { return TakeAll(buffer, size); }
DWORD CPipeStream::ReadSome(void* buffer, DWORD size) {
  ++m_State->someCalls;
  return Take(buffer, size);
}
DWORD CPipeStream::Skip(DWORD count) { return TakeAll(nullptr, count); }
DWORD CPipeStream::SkipSome(DWORD count) { return Take(nullptr, count); }

void CPipeStream::Write(const void*, DWORD) { ThrowError<CStreamError>(CStreamError::kNotPermitted, m_URL.c_str()); }

LONGLONG CPipeStream::Seek(LONGLONG, DWORD, HANDLE) {
  ThrowError<CStreamError>(CStreamError::kNotPermitted, m_URL.c_str());
}

bool CPipeStream::SeekWouldWait(LONGLONG, DWORD) {
  ThrowError<CStreamError>(CStreamError::kNotPermitted, m_URL.c_str());
}

LONGLONG CPipeStream::GetPosition() {
  ThrowIfShutDown();
  return static_cast<LONGLONG>(m_Position);
}

LONGLONG CPipeStream::GetLength(bool, HANDLE) {
  ThrowIfShutDown();
  return -1;
}

DWORD CPipeStream::GetTransferRate() { return m_State->settings.bytesPerSecond; }

bool CPipeStream::IsAtEnd() {
  ThrowIfShutDown();
  return m_Position == m_Bytes.size();
}

void CPipeStream::Shutdown() { m_ShutDown = true; }

CPipeStreamProvider::CPipeStreamProvider(PipeSettings settings) : m_State(std::make_shared<PipeState>(settings)) {}

bool CPipeStreamProvider::CanOpen(const char* url, DWORD flags, StreamOpenAnswer& answer) {
  if (!IsPipeURL(url) || (flags & kStreamWrite)) return false;
  answer = {kStreamRead, m_State->settings.bytesPerSecond, 1000};
  return true;
}

CStream* CPipeStreamProvider::Open(const char* url, DWORD flags) {
  if (!IsPipeURL(url)) return nullptr;
  if (flags & kStreamWrite) ThrowError<CStreamError>(CStreamError::kAccessDenied, url);
  std::ifstream file(url + kSchemeLength, std::ios::binary);
  if (!file) ThrowError<CStreamError>(CStreamError::kFileNotFound, url);
  std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  ++m_State->opens;
  return new CPipeStream(url, std::move(bytes), m_State);
}

int PipeOpens(const PipeState& state) { return state.opens; }
LONGLONG PipeBytesServed(const PipeState& state) { return state.served; }
int PipeStreamsOpen(const PipeState& state) { return state.streamsOpen; }
LONGLONG PipeReadSomeCalls(const PipeState& state) { return state.someCalls; }
void HoldPipeAt(PipeState& state, LONGLONG offset) { state.holdAt = offset; }

ScopedPipeProvider::ScopedPipeProvider(PipeSettings settings)
    : m_Provider(new CPipeStreamProvider(settings)), m_State(m_Provider->State()) {
  GetFileSystem().AddProvider(m_Provider);
}

ScopedPipeProvider::~ScopedPipeProvider() {
  CFileSystem& fileSystem = GetFileSystem();
  for (INT index = 0; index < fileSystem.GetProviderCount(); ++index) {
    if (fileSystem.GetProvider(index) == m_Provider) {
      fileSystem.RemoveProvider(index, true);
      return;
    }
  }
}

std::string PatternBytes(size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  unsigned value = seed * 2654435761u + 1;
  for (size_t i = 0; i < size; ++i) {
    value = value * 1103515245u + 12345u;
    bytes[i] = static_cast<char>(value >> 16);
  }
  return bytes;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
  const unsigned long long deadline = NowMs() + timeoutMs;
  while (!condition()) {
    if (NowMs() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

std::vector<std::string> TempFilesLeft() {
  const char* folder = std::getenv("TMPDIR");
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder && *folder ? folder : "/tmp", error)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("bfs", 0) == 0) names.push_back(name);
  }
  return names;
}

}  // namespace streamtest
