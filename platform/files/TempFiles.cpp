// The temporary folder ($TMPDIR, else /tmp) and unique temporary file names.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "PathResolver.h"
#include "StringOut.h"
#include "platform/kernel/ErrnoMap.h"
#include "twlwin/errors.h"
#include "twlwin/files.h"

namespace {

std::string NameFor(const std::string& folder, const std::string& prefix, unsigned number) {
  char tail[16];
  std::snprintf(tail, sizeof tail, "%X.tmp", number & 0xFFFFu);
  std::string name = folder;
  if (name.empty() || name.back() != '/') name += '/';
  return name + prefix + tail;
}

// A starting number that differs between processes and calls.
unsigned StartNumber() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  unsigned seed = static_cast<unsigned>(now.tv_nsec) ^ (static_cast<unsigned>(getpid()) << 4);
  return (seed & 0xFFFFu) ? (seed & 0xFFFFu) : 1;
}

}  // namespace

TWLAPI DWORD GetTempPathA(DWORD size, LPSTR buffer) {
  const char* folder = std::getenv("TMPDIR");
  std::string path = folder && *folder ? folder : "/tmp";
  if (path.back() != '/') path += '/';
  return twl::CopyOutOrNeed(path, size, buffer);
}

TWLAPI UINT GetTempFileNameA(LPCSTR path, LPCSTR prefix, UINT unique, LPSTR name) {
  if (!path || !name) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::string folder = *path ? twl::ResolvePath(path) : ".";
  std::string start = prefix ? std::string(prefix).substr(0, 3) : "";
  // Room for the prefix, four digits and ".tmp" within MAX_PATH.
  if (folder.size() + 1 + start.size() + 8 >= MAX_PATH) {
    SetLastError(ERROR_BUFFER_OVERFLOW);
    return 0;
  }
  if (unique != 0) {
    unique &= 0xFFFFu;
    std::string made = NameFor(folder, start, unique);
    std::memcpy(name, made.c_str(), made.size() + 1);
    return unique;
  }
  unsigned number = StartNumber();
  for (unsigned tries = 0; tries < 0xFFFFu; ++tries) {
    std::string candidate = NameFor(folder, start, number);
    int fd = open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      close(fd);
      std::memcpy(name, candidate.c_str(), candidate.size() + 1);
      return number;
    }
    if (errno != EEXIST) {
      twl::FailWithErrno(errno, candidate.c_str());
      return 0;
    }
    number = number == 0xFFFFu ? 1 : number + 1;
  }
  SetLastError(ERROR_FILE_EXISTS);
  return 0;
}
