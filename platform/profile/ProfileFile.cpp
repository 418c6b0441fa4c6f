#include "ProfileFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/files/PathResolver.h"
#include "platform/kernel/ErrnoMap.h"
#include "platform/registry/RegistryDatabase.h"
#include "twlwin/errors.h"

namespace twl::profile {
namespace {

// Closes a descriptor when it goes out of scope.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd_ >= 0) close(fd_);
  }
  int get() const { return fd_; }

 private:
  int fd_;
};

bool ReadAll(int fd, std::string& bytes) {
  bytes.clear();
  char buffer[65536];
  for (;;) {
    ssize_t got = read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) return true;
    bytes.append(buffer, static_cast<size_t>(got));
  }
}

bool WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t wrote = write(fd, bytes.data() + done, bytes.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) return false;
    done += static_cast<size_t>(wrote);
  }
  return true;
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Writes `bytes` to a new file beside `path` and renames it over `path`.
DWORD Replace(const std::string& path, const std::string& bytes, mode_t mode) {
  std::string temporary = FolderOf(path) + "/.profile-XXXXXX";
  int fd = mkstemp(temporary.data());
  if (fd < 0) return Win32ErrorFromErrno(errno, path.c_str());
  Descriptor file(fd);
  bool written = fchmod(fd, mode & 07777) == 0 && WriteAll(fd, bytes) && fsync(fd) == 0;
  if (!written || rename(temporary.c_str(), path.c_str()) != 0) {
    DWORD error = Win32ErrorFromErrno(errno, path.c_str());
    unlink(temporary.c_str());
    return error;
  }
  return ERROR_SUCCESS;
}

// The file at `path`, locked for writing. The lock belongs to one file:
// when another writer replaced the file while this one waited, the lock is
// taken again on the new one.
int OpenLocked(const std::string& path, bool create, DWORD& error) {
  for (;;) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | (create ? O_CREAT : 0), 0666);
    if (fd < 0) {
      error = Win32ErrorFromErrno(errno, path.c_str());
      return -1;
    }
    int locked;
    do {
      locked = flock(fd, LOCK_EX);
    } while (locked != 0 && errno == EINTR);
    struct stat held {};
    struct stat named {};
    if (locked != 0 || fstat(fd, &held) != 0) {
      error = Win32ErrorFromErrno(errno, path.c_str());
      close(fd);
      return -1;
    }
    if (stat(path.c_str(), &named) == 0 && named.st_ino == held.st_ino && named.st_dev == held.st_dev) return fd;
    close(fd);
  }
}

}  // namespace

std::string ProfilePath(const char* name) {
  std::string given(name);
  if (given.find_first_of("/\\") == std::string::npos) {
    return FolderOf(registry::DatabasePath()) + "/" + given;
  }
  return ResolvePath(name);
}

DWORD ReadProfile(const std::string& path, std::string& bytes) {
  bytes.clear();
  Descriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.get() < 0) return Win32ErrorFromErrno(errno, path.c_str());
  struct stat info {};
  if (fstat(file.get(), &info) == 0 && S_ISDIR(info.st_mode)) return ERROR_ACCESS_DENIED;
  if (!ReadAll(file.get(), bytes)) {
    bytes.clear();
    return ERROR_READ_FAULT;
  }
  return ERROR_SUCCESS;
}

DWORD EditProfile(const std::string& path, bool create, const std::function<bool(ProfileText&)>& edit) {
  DWORD error = ERROR_SUCCESS;
  int fd = OpenLocked(path, create, error);
  if (fd < 0) return !create && error == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : error;
  Descriptor file(fd);
  struct stat info {};
  std::string bytes;
  if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) return ERROR_ACCESS_DENIED;
  if (access(path.c_str(), W_OK) != 0) return ERROR_ACCESS_DENIED;  // a read-only file stays as it is
  if (!ReadAll(fd, bytes)) return ERROR_READ_FAULT;
  ProfileText text(bytes);
  if (!edit(text)) return ERROR_SUCCESS;
  return Replace(path, text.Bytes(), info.st_mode);
}

}  // namespace twl::profile
