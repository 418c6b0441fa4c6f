// Small helpers shared by the file tests.
#pragma once

#include <windows.h>

#include <string>

namespace filetest {

// Opens with the given access, sharing and creation; INVALID_HANDLE_VALUE
// on failure, the last error left as the call set it.
inline HANDLE Open(const std::string& path, DWORD access, DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE,
                   DWORD creation = OPEN_EXISTING, DWORD flags = 0) {
  return CreateFileA(path.c_str(), access, share, nullptr, creation, flags, nullptr);
}

// The whole content read through ReadFile.
inline std::string ReadAll(HANDLE file) {
  std::string content;
  char buffer[256];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) content.append(buffer, got);
  return content;
}

// The 64-bit value of a FILETIME.
inline uint64_t Ticks(const FILETIME& time) {
  return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// Now in FILETIME units (100 ns since 1601).
uint64_t NowTicks();

}  // namespace filetest
