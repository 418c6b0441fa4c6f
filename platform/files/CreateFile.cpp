// CreateFileA: the five creation modes on top of open(2), with share modes
// checked before anything on disk changes.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "FileObject.h"
#include "PathResolver.h"
#include "ShareTable.h"
#include "platform/kernel/ErrnoMap.h"
#include "twlwin/errors.h"
#include "twlwin/files.h"

namespace {

HANDLE Fail(DWORD code) {
  SetLastError(code);
  return INVALID_HANDLE_VALUE;
}

HANDLE FailErrno(int error, const std::string& path) {
  twl::FailWithErrno(error, path.c_str());
  return INVALID_HANDLE_VALUE;
}

int OpenFlags(DWORD access) {
  const bool read = access & (GENERIC_READ | GENERIC_EXECUTE | GENERIC_ALL);
  const bool write = access & (GENERIC_WRITE | GENERIC_ALL);
  if (read && write) return O_RDWR;
  return write ? O_WRONLY : O_RDONLY;
}

// Opens the file, creating it if `creation` asks; tells whether it existed.
int OpenOrCreate(const std::string& path, int flags, DWORD creation, mode_t mode, bool& existed) {
  existed = false;
  if (creation == CREATE_NEW) return open(path.c_str(), flags | O_CREAT | O_EXCL, mode);
  for (;;) {
    int fd = open(path.c_str(), flags);
    if (fd >= 0 || errno != ENOENT || creation == OPEN_EXISTING || creation == TRUNCATE_EXISTING) {
      existed = fd >= 0;
      return fd;
    }
    fd = open(path.c_str(), flags | O_CREAT | O_EXCL, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
    // Created by someone else in between: open it as existing.
  }
}

}  // namespace

TWLAPI HANDLE CreateFileA(LPCSTR name, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES attributes,
                          DWORD creation, DWORD flags, HANDLE templateFile) {
  if (!name || !*name) return Fail(ERROR_PATH_NOT_FOUND);
  if (creation < CREATE_NEW || creation > TRUNCATE_EXISTING) return Fail(ERROR_INVALID_PARAMETER);
  const bool deleteOnClose = flags & FILE_FLAG_DELETE_ON_CLOSE;
  const DWORD shareAccess = twl::ShareAccessOf(access, deleteOnClose);
  if (creation == TRUNCATE_EXISTING && !(shareAccess & twl::kAccessWrite)) return Fail(ERROR_INVALID_PARAMETER);

  const std::string path = twl::ResolvePath(name);
  int openFlags = OpenFlags(access) | O_CLOEXEC;
  // A handle without data access only names the file (its attributes, its
  // final path): opening it never reads, so it never waits on a named pipe.
  const bool onlyNames = !(shareAccess & (twl::kAccessRead | twl::kAccessWrite));
  if (creation == OPEN_EXISTING && onlyNames) openFlags = O_PATH | O_CLOEXEC;
  if (flags & FILE_FLAG_WRITE_THROUGH) openFlags |= O_DSYNC;
  const mode_t mode = (flags & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
  bool existed = false;
  // Opening never waits for the other end of a named pipe; once open, the
  // file's reads and writes block as usual.
  int fd = OpenOrCreate(path, openFlags | O_NONBLOCK, creation, mode, existed);
  if (fd >= 0) fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  if (fd < 0 && errno == EISDIR && (flags & FILE_FLAG_BACKUP_SEMANTICS)) {
    fd = OpenOrCreate(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC, OPEN_EXISTING, mode, existed);
  }
  if (fd < 0 && errno == EACCES && shareAccess == 0) {
    // No data access asked for: the attributes can be read all the same.
    fd = OpenOrCreate(path, O_PATH | O_CLOEXEC, creation, mode, existed);
  }
  if (fd < 0) return FailErrno(errno, path);

  struct stat info {};
  if (fstat(fd, &info) != 0) {
    int error = errno;
    close(fd);
    return FailErrno(error, path);
  }
  if (S_ISDIR(info.st_mode) && !(flags & FILE_FLAG_BACKUP_SEMANTICS)) {
    close(fd);
    return Fail(ERROR_ACCESS_DENIED);
  }
  const twl::FileIdentity identity{info.st_dev, info.st_ino};
  uint64_t ticket = twl::ShareTable::Acquire(identity, shareAccess, shareMode);
  if (ticket == 0) {
    close(fd);
    return Fail(ERROR_SHARING_VIOLATION);
  }
  auto file = std::make_shared<twl::FileObject>(fd, identity, ticket, twl::AbsolutePath(path), deleteOnClose);
  const bool truncate = existed && (creation == CREATE_ALWAYS || creation == TRUNCATE_EXISTING);
  if (truncate && S_ISREG(info.st_mode) && ftruncate(fd, 0) != 0) return FailErrno(errno, path);
  HANDLE handle = twl::InsertHandle(std::move(file));
  if (!handle) return INVALID_HANDLE_VALUE;
  SetLastError(existed && (creation == CREATE_ALWAYS || creation == OPEN_ALWAYS) ? ERROR_ALREADY_EXISTS
                                                                                 : ERROR_SUCCESS);
  return handle;
}
