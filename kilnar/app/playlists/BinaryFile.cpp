#include "kilnar/app/playlists/BinaryFile.h"

#include <algorithm>
#include <limits>

BinaryFile::~BinaryFile() { Close(); }

bool BinaryFile::OpenForReading(const std::string& path) {
  Close();
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  m_File = file;
  return true;
}

bool BinaryFile::Create(const std::string& path, bool replace) {
  Close();
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, replace ? CREATE_ALWAYS : CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  m_File = file;
  return true;
}

void BinaryFile::Close() {
  if (m_File) CloseHandle(m_File);
  m_File = nullptr;
}

bool BinaryFile::Read(void* buffer, size_t length) {
  auto* bytes = static_cast<unsigned char*>(buffer);
  while (length > 0) {
    const DWORD part = static_cast<DWORD>(std::min<size_t>(length, 1u << 30));
    DWORD read = 0;
    if (!m_File || !ReadFile(m_File, bytes, part, &read, nullptr) || read == 0) return false;
    bytes += read;
    length -= read;
  }
  return true;
}

bool BinaryFile::Write(const void* data, size_t length) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  while (length > 0) {
    const DWORD part = static_cast<DWORD>(std::min<size_t>(length, 1u << 30));
    DWORD written = 0;
    if (!m_File || !WriteFile(m_File, bytes, part, &written, nullptr) || written == 0) return false;
    bytes += written;
    length -= written;
  }
  return true;
}

bool BinaryFile::Skip(uint64_t length) {
  if (length > Remaining()) return false;
  return SeekTo(Position() + length);
}

bool BinaryFile::SeekTo(uint64_t position) {
  if (!m_File || position > static_cast<uint64_t>(std::numeric_limits<LONGLONG>::max())) return false;
  LARGE_INTEGER distance{};
  distance.QuadPart = static_cast<LONGLONG>(position);
  return SetFilePointerEx(m_File, distance, nullptr, FILE_BEGIN) != FALSE;
}

uint64_t BinaryFile::Position() const {
  if (!m_File) return 0;
  LARGE_INTEGER zero{};
  LARGE_INTEGER position{};
  if (!SetFilePointerEx(m_File, zero, &position, FILE_CURRENT)) return 0;
  return static_cast<uint64_t>(position.QuadPart);
}

uint64_t BinaryFile::Remaining() const {
  if (!m_File) return 0;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(m_File, &size)) return 0;
  const uint64_t position = Position();
  const auto total = static_cast<uint64_t>(size.QuadPart);
  return total > position ? total - position : 0;
}
