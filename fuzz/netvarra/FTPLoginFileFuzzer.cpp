// The ftplogins.dat reader over random bytes: it must never crash nor
// allocate what a damaged length claims, a failed load leaves the database
// empty, and whatever loads saves and loads again to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "foundation/kernel/Error.h"
#include "foundation/streams/MemoryStream.h"
#include "foundation/streams/StreamFlags.h"
#include "plugins/netvarra/ftp/FTPLoginDataBase.h"

namespace {

bool LoadFrom(CFTPLoginDataBase& logins, const void* data, size_t size) {
  CMemoryStream stream;
  stream.OpenCopy(data, static_cast<DWORD>(size), kStreamRead | kStreamSeek);
  try {
    logins.Load(stream);
    return true;
  } catch (CError* error) {
    DisposeError(error);
    return false;
  }
}

std::string SaveOf(CFTPLoginDataBase& logins) {
  CMemoryStream stream;
  stream.Open(nullptr, 0, kStreamRead | kStreamWrite | kStreamSeek, 256, false);
  logins.Save(stream);
  std::string bytes(reinterpret_cast<const char*>(stream.GetBuffer()),
                    static_cast<size_t>(stream.GetLength(true, nullptr)));
  stream.Close();
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 1 << 20) return 0;
  CFTPLoginDataBase logins;
  if (!LoadFrom(logins, data, size)) {
    if (logins.GetKeyTree()) abort();
    return 0;
  }
  const std::string saved = SaveOf(logins);
  CFTPLoginDataBase again;
  if (!LoadFrom(again, saved.data(), saved.size())) abort();
  if (SaveOf(again) != saved) abort();
  return 0;
}
