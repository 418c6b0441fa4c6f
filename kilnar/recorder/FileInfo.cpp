#include "kilnar/recorder/FileInfo.h"

#include <cstring>

namespace {

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool IsRoot(const char* path) {
  const size_t length = std::strlen(path);
  if (length == 1) return path[0] == '/' || path[0] == '\\';
  if (length < 2 || !IsLetter(path[0]) || path[1] != ':') return false;
  return length == 2 || (length == 3 && (path[2] == '\\' || path[2] == '/'));
}

template <class T>
void Put(T* output, T value) {
  if (output) *output = value;
}

}  // namespace

TimeStamp TimeStampOfFileTime(const FILETIME& time) {
  constexpr uint64_t kTicksPerSecond = 10000000;
  constexpr uint64_t kSecondsFrom1601To1970 = 11644473600;
  const uint64_t ticks = static_cast<uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
  const uint64_t seconds = ticks / kTicksPerSecond;
  // Before 1970 or after what a time stamp holds: the earliest and latest it
  // can hold (0 would read as "now").
  if (seconds <= kSecondsFrom1601To1970) return TimeStamp(1);
  const uint64_t unixSeconds = seconds - kSecondsFrom1601To1970;
  return TimeStamp(unixSeconds >= 0xFFFFFFFFu ? 0xFFFFFFFEu : static_cast<uint32_t>(unixSeconds));
}

bool GetFileInfo(const char* path, bool* isFolder, uint32_t* size, TimeStamp* time, bool* hidden, bool* archive) {
  if (!path || !*path) return false;
  if (IsRoot(path)) {
    Put(isFolder, true);
    Put(size, uint32_t{0});
    Put(hidden, false);
    Put(archive, false);
    return true;
  }
  WIN32_FIND_DATAA found{};
  HANDLE find = FindFirstFileA(path, &found);
  if (find == INVALID_HANDLE_VALUE) return false;
  FindClose(find);
  Put(isFolder, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
  Put(size, static_cast<uint32_t>(found.nFileSizeLow));
  Put(hidden, (found.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0);
  Put(archive, (found.dwFileAttributes & FILE_ATTRIBUTE_ARCHIVE) != 0);
  if (time) *time = TimeStampOfFileTime(found.ftLastWriteTime);
  return true;
}

uint32_t GetFileSizeOf(const char* path) {
  uint32_t size = 0;
  return GetFileInfo(path, nullptr, &size, nullptr, nullptr, nullptr) ? size : 0;
}

uint64_t GetFileSize64Of(const char* path) {
  if (!path || !*path || IsRoot(path)) return 0;
  WIN32_FIND_DATAA found{};
  HANDLE find = FindFirstFileA(path, &found);
  if (find == INVALID_HANDLE_VALUE) return 0;
  FindClose(find);
  return static_cast<uint64_t>(found.nFileSizeHigh) << 32 | found.nFileSizeLow;
}

TimeStamp GetFileTimeOf(const char* path) {
  TimeStamp time;
  if (!GetFileInfo(path, nullptr, nullptr, &time, nullptr, nullptr)) time.SetToNow();
  return time;
}
