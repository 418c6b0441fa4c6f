// Archives over memory streams for the storage tests.
#pragma once

#include <windows.h>

#include <cstring>
#include <functional>
#include <string>

#include "foundation/kernel/Error.h"
#include "foundation/storage/Storage.h"
#include "foundation/storage/StorageError.h"
#include "foundation/streams/MemoryStream.h"

namespace archivetest {

constexpr DWORD kReadWriteSeek = kStreamRead | kStreamWrite | kStreamSeek;

// The bytes that `store` writes through an archive of the given buffer size.
inline std::string Stored(const std::function<void(CStorage&)>& store, DWORD bufferSize = 4096) {
  CMemoryStream stream;
  stream.Open(nullptr, 0, kReadWriteSeek, 256, false);
  {
    CStorage storage;
    storage.Open(&stream, CStorage::kStore, 1, bufferSize);
    store(storage);
    storage.Close();
  }
  std::string bytes(reinterpret_cast<const char*>(stream.GetBuffer()),
                    static_cast<size_t>(stream.GetLength(true, nullptr)));
  stream.Close();
  return bytes;
}

// A readable memory stream over a copy of `bytes`.
inline void OpenReading(CMemoryStream& stream, const std::string& bytes) {
  BYTE* block = bytes.empty() ? nullptr : new BYTE[bytes.size()];
  if (block) std::memcpy(block, bytes.data(), bytes.size());
  stream.Open(block, static_cast<DWORD>(bytes.size()), kStreamRead | kStreamSeek, 0, false);
}

// Runs `load` on an archive loading `bytes`.
inline void Load(const std::string& bytes, const std::function<void(CStorage&)>& load, DWORD bufferSize = 4096) {
  CMemoryStream stream;
  OpenReading(stream, bytes);
  CStorage storage;
  storage.Open(&stream, CStorage::kLoad, 1, bufferSize);
  load(storage);
}

// The code of the error of class E that `action` throws; -1 when it throws
// nothing. Any other error fails the test through the returned -2.
template <class E>
long long CodeThrown(const std::function<void()>& action, CStr* text = nullptr) {
  try {
    action();
  } catch (CError* error) {
    long long code = -2;
    if (IsKindOf<E>(error)) code = static_cast<E*>(error)->GetCode();
    if (text) *text = error->GetText();
    DisposeError(error);
    return code;
  }
  return -1;
}

// Little-endian bytes, for building archives by hand.
inline std::string U16(unsigned value) { return {char(value & 0xFF), char(value >> 8 & 0xFF)}; }
inline std::string U32(unsigned value) { return U16(value & 0xFFFF) + U16(value >> 16); }

}  // namespace archivetest
