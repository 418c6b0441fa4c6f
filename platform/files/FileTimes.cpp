#include "FileTimes.h"

#include <fcntl.h>

namespace twl {
namespace {

constexpr int64_t kSecondsFrom1601To1970 = 11644473600LL;

timespec FromStatx(const statx_timestamp& time) { return timespec{time.tv_sec, static_cast<long>(time.tv_nsec)}; }

bool Older(const statx_timestamp& a, const statx_timestamp& b) {
  return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

}  // namespace

FILETIME FileTimeFromTimespec(const timespec& time) {
  int64_t ticks = (static_cast<int64_t>(time.tv_sec) + kSecondsFrom1601To1970) * 10000000LL + time.tv_nsec / 100;
  if (ticks < 0) ticks = 0;
  FILETIME result;
  result.dwLowDateTime = static_cast<DWORD>(static_cast<uint64_t>(ticks));
  result.dwHighDateTime = static_cast<DWORD>(static_cast<uint64_t>(ticks) >> 32);
  return result;
}

bool ReadFileTimes(int dirFd, const char* path, FileTimes& times) {
  struct statx info {};
  const int flags = path ? 0 : AT_EMPTY_PATH;
  if (statx(dirFd, path ? path : "", flags, STATX_BASIC_STATS | STATX_BTIME, &info) != 0) return false;
  statx_timestamp creation = Older(info.stx_ctime, info.stx_mtime) ? info.stx_ctime : info.stx_mtime;
  if (info.stx_mask & STATX_BTIME) creation = info.stx_btime;
  times.creation = FileTimeFromTimespec(FromStatx(creation));
  times.lastAccess = FileTimeFromTimespec(FromStatx(info.stx_atime));
  times.lastWrite = FileTimeFromTimespec(FromStatx(info.stx_mtime));
  return true;
}

}  // namespace twl
