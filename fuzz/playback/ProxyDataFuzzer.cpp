// The stored proxy settings ("ProxyData", a registry value any program can
// write) on arbitrary bytes: a database with the usual registrations loads
// them. Errors are expected; what did load must save into bytes that load
// again to the same settings. Anything else (a crash, a sanitizer report,
// a large allocation, an exception other than an error object, a round
// trip that changes the settings) is a finding.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "foundation/kernel/Error.h"
#include "foundation/streams/MemoryStream.h"
#include "playback/proxy/ProxyDataBase.h"

namespace {

void RegisterUsualTypes(CProxyDataBase& proxies) {
  proxies.RegisterProxyType("http", "HTTP", 8080);
  proxies.RegisterProxyType("ftp", "user@host", 8021);
  proxies.RegisterProxyType("ftp", "HTTP", 8080);
}

// Loads the bytes; false when they do not load.
bool Load(CProxyDataBase& proxies, const uint8_t* data, size_t size) {
  BYTE* block = size ? new BYTE[size] : nullptr;
  if (size) std::memcpy(block, data, size);
  CMemoryStream stream;
  stream.Open(block, static_cast<DWORD>(size), kStreamRead | kStreamSeek, 0, false);
  try {
    proxies.Load(stream);
    return true;
  } catch (CError* error) {
    DisposeError(error);
    return false;
  }
}

std::string Save(CProxyDataBase& proxies) {
  CMemoryStream stream;
  stream.Open(nullptr, 0, kStreamRead | kStreamWrite | kStreamSeek, 4096, false);
  proxies.Save(stream);
  return std::string(reinterpret_cast<const char*>(stream.GetBuffer()),
                     static_cast<size_t>(stream.GetLength(true, nullptr)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 0x100000) return 0;
  CProxyDataBase proxies;
  RegisterUsualTypes(proxies);
  Load(proxies, data, size);
  const std::string saved = Save(proxies);

  CProxyDataBase again;
  RegisterUsualTypes(again);
  if (!Load(again, reinterpret_cast<const uint8_t*>(saved.data()), saved.size())) __builtin_trap();
  if (Save(again) != saved) __builtin_trap();
  return 0;
}
