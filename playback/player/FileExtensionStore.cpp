// The stored form of the extension list (see FileExtensionEnum.h).
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "foundation/appcore/RegistryValues.h"
#include "foundation/errors/LocalText.h"
#include "foundation/errors/ThreadErrorState.h"
#include "foundation/kernel/Error.h"
#include "foundation/streams/MemoryStream.h"
#include "foundation/streams/StreamError.h"
#include "foundation/streams/StreamFlags.h"
#include "playback/player/FileExtensionEnum.h"

namespace {

void ReadExactBytes(CStream& stream, void* buffer, DWORD size) {
  if (size && stream.Read(buffer, size) != size) ThrowError<CStreamError>(CStreamError::kEndOfStream, stream);
}

DWORD ReadNumber(CStream& stream) {
  BYTE bytes[4];
  ReadExactBytes(stream, bytes, 4);
  return static_cast<DWORD>(bytes[0]) | static_cast<DWORD>(bytes[1]) << 8 | static_cast<DWORD>(bytes[2]) << 16 |
         static_cast<DWORD>(bytes[3]) << 24;
}

void WriteNumber(CStream& stream, DWORD value) {
  const BYTE bytes[4] = {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8), static_cast<BYTE>(value >> 16),
                         static_cast<BYTE>(value >> 24)};
  stream.Write(bytes, 4);
}

// A length the stream cannot back is corrupt data: when the stream knows
// its length the check comes before any allocation; otherwise the text
// grows with what arrives, so a false length costs what the stream holds.
CStr ReadText(CStream& stream) {
  const DWORD length = ReadNumber(stream);
  const LONGLONG total = stream.GetLength(true, nullptr);
  if (total >= 0) {
    const LONGLONG left = total - stream.GetPosition();
    if (static_cast<LONGLONG>(length) > left) ThrowError<CStreamError>(CStreamError::kEndOfStream, stream);
  }
  constexpr DWORD kStep = 64 << 10;
  std::string text;
  while (text.size() < length) {
    const size_t start = text.size();
    const size_t chunk = std::min<size_t>(length - start, std::max<size_t>(kStep, start));
    text.resize(start + chunk);
    ReadExactBytes(stream, text.data() + start, static_cast<DWORD>(chunk));
  }
  return CStr(text.c_str());
}

void WriteText(CStream& stream, const CStr& text) {
  const DWORD length = static_cast<DWORD>(std::strlen(text.c_str()));
  WriteNumber(stream, length);
  if (length) stream.Write(text.c_str(), length);
}

}  // namespace

bool CFileExtensionEnum::Read(CStream& stream) {
  Clear();
  try {
    const DWORD count = ReadNumber(stream);
    for (DWORD i = 0; i < count; ++i) {
      auto entry = std::make_unique<FileExtensionEntry>();
      entry->extension = ReadText(stream);
      entry->description = ReadText(stream);
      entry->fileType = ReadNumber(stream);
      entry->registered = ReadNumber(stream) != 0;
      m_Entries.push_back(std::move(entry));
    }
  } catch (CError* error) {
    StoreThreadError(error);
    delete error;
    return false;
  }
  return true;
}

bool CFileExtensionEnum::Write(CStream& stream) const {
  try {
    WriteNumber(stream, static_cast<DWORD>(m_Entries.size()));
    for (const auto& entry : m_Entries) {
      WriteText(stream, entry->extension);
      WriteText(stream, entry->description);
      WriteNumber(stream, entry->fileType);
      WriteNumber(stream, entry->registered ? 1 : 0);
    }
  } catch (CError* error) {
    StoreThreadError(error);
    delete error;
    return false;
  }
  return true;
}

bool CFileExtensionEnum::LoadFromRegistry(HKEY key, const char* valueName) {
  Clear();
  std::vector<BYTE> data;
  bool found = false;
  if (!GetRegistryBinaryAlloc(key, valueName, data, found)) return false;
  if (!found) {
    SetThreadError(THREAD_ERROR_GENERAL, 0, LocalText("RegistryError.GetValue", "Error retrieving value from registry."));
    return false;
  }
  CMemoryStream stream;
  bool read = false;
  try {
    stream.OpenCopy(data.data(), static_cast<DWORD>(data.size()), kStreamRead | kStreamSeek);
    read = Read(stream);
  } catch (CError* error) {
    delete error;
  }
  if (!read) {
    SetThreadError(THREAD_ERROR_GENERAL, 0,
                   LocalText("CFileExtensionEnum.RegDataCorrupted", "The file extension registration data ist corrupted."));
  }
  return read;
}

bool CFileExtensionEnum::SaveToRegistry(HKEY key, const char* valueName) const {
  CMemoryStream stream;
  try {
    stream.Open(nullptr, 0, kStreamRead | kStreamWrite | kStreamSeek, 4096, true);
  } catch (CError* error) {
    StoreThreadError(error);
    delete error;
    return false;
  }
  if (!Write(stream)) return false;
  const DWORD size = static_cast<DWORD>(stream.GetPosition());
  return SetRegistryBinary(key, valueName, stream.GetBuffer(), size);
}
