#include "GatedStreams.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>

#include "foundation/filesystem/FileSystem.h"
#include "foundation/streams/Stream.h"
#include "foundation/streams/StreamError.h"
#include "foundation/streams/StreamProvider.h"

namespace gated {
namespace {

enum class Gate { Closed, Open, Broken };

std::mutex theLock;
std::map<std::string, Gate>& Gates() {
  static std::map<std::string, Gate> gates;
  return gates;
}

Gate GateOf(const std::string& name) {
  std::lock_guard guard(theLock);
  return Gates()[name];
}

void SetGate(const std::string& name, Gate gate) {
  std::lock_guard guard(theLock);
  Gates()[name] = gate;
}

class GatedStream : public CStream {
 public:
  explicit GatedStream(std::string url) : m_Url(std::move(url)), m_Name(m_Url.substr(std::strlen("gated://"))) {}

  CStr& GetURL(CStr& url) override { return url = m_Url.c_str(); }
  DWORD GetCapabilities() override { return kStreamRead | kStreamFlowing; }
  DWORD Read(void* buffer, DWORD size) override { return ReadSome(buffer, size); }
  DWORD ReadSome(void* buffer, DWORD size) override {
    const Gate gate = GateOf(m_Name);
    if (gate == Gate::Broken) ThrowError<CStreamError>(CStreamError::kConnectionLost, m_Url.c_str());
    if (gate == Gate::Closed) return 0;
    // A little at a time, as from a network.
    const DWORD count = std::min<DWORD>({size, 4000u, static_cast<DWORD>(Content().size() - m_Position)});
    std::memcpy(buffer, Content().data() + m_Position, count);
    m_Position += count;
    return count;
  }
  DWORD Skip(DWORD) override { return 0; }
  DWORD SkipSome(DWORD) override { return 0; }
  void Write(const void*, DWORD) override { ThrowError<CStreamError>(CStreamError::kNotPermitted); }
  void Flush() override {}
  LONGLONG Seek(LONGLONG, DWORD, HANDLE) override { ThrowError<CStreamError>(CStreamError::kNotPermitted); }
  bool SeekWouldWait(LONGLONG, DWORD) override { return true; }
  LONGLONG GetPosition() override { return static_cast<LONGLONG>(m_Position); }
  LONGLONG GetLength(bool, HANDLE) override { return -1; }
  DWORD GetTransferRate() override { return 1000; }
  bool IsAtEnd() override { return GateOf(m_Name) == Gate::Open && m_Position == Content().size(); }
  void Shutdown() override {}
  void Close() override { delete this; }
  void CloseNoThrow() override { delete this; }

 private:
  std::string m_Url;
  std::string m_Name;
  size_t m_Position = 0;
};

class GatedProvider : public CStreamProvider {
 public:
  bool CanOpen(const char* url, DWORD, StreamOpenAnswer& answer) override {
    if (std::strncmp(url, "gated://", 8) != 0) return false;
    answer = {kStreamRead | kStreamFlowing, 1000, 100};
    return true;
  }
  CStream* Open(const char* url, DWORD) override {
    return std::strncmp(url, "gated://", 8) == 0 ? new GatedStream(url) : nullptr;
  }
};

}  // namespace

const std::string& Content() {
  static const std::string content = [] {
    std::string bytes(100000, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 + i / 251);
    return bytes;
  }();
  return content;
}

void Open(const std::string& name) { SetGate(name, Gate::Open); }

void Break(const std::string& name) { SetGate(name, Gate::Broken); }

std::string Url(const std::string& name) {
  static const bool installed = [] {
    GetFileSystem().AddProvider(new GatedProvider);
    return true;
  }();
  (void)installed;
  return "gated://" + name;
}

}  // namespace gated
