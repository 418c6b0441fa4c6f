#include "ErrnoMap.h"

#include <sys/stat.h>

#include <cerrno>
#include <string>

#include "twlwin/errors.h"

namespace twl {
namespace {

bool ParentFolderExists(const char* path) {
  std::string text(path);
  auto slash = text.find_last_of('/');
  if (slash == std::string::npos) return true;  // relative to the current folder
  std::string parent = slash == 0 ? "/" : text.substr(0, slash);
  struct stat info {};
  return stat(parent.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

DWORD Win32ErrorFromErrno(int error, const char* path) {
  switch (error) {
    case 0: return ERROR_SUCCESS;
    case ENOENT: return path && !ParentFolderExists(path) ? ERROR_PATH_NOT_FOUND : ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR: return ERROR_ACCESS_DENIED;
    case EMFILE:
    case ENFILE: return ERROR_TOO_MANY_OPEN_FILES;
    case ENOSPC:
    case EDQUOT: return ERROR_DISK_FULL;
    case EEXIST: return ERROR_FILE_EXISTS;
    case EROFS: return ERROR_WRITE_PROTECT;
    case EBUSY:
    case ETXTBSY: return ERROR_SHARING_VIOLATION;
    case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
    case EINVAL: return ERROR_INVALID_PARAMETER;
    case EBADF: return ERROR_INVALID_HANDLE;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case ENOTEMPTY: return ERROR_DIR_NOT_EMPTY;
    case EXDEV: return ERROR_NOT_SAME_DEVICE;
    case EFBIG: return ERROR_DISK_FULL;
    case EPIPE: return ERROR_BROKEN_PIPE;
    case ENOSYS:
    case EOPNOTSUPP: return ERROR_NOT_SUPPORTED;
    case EIO: return ERROR_GEN_FAILURE;
    case ELOOP: return ERROR_CANT_RESOLVE_FILENAME;
    default: return ERROR_GEN_FAILURE;
  }
}

BOOL FailWithErrno(int error, const char* path) {
  SetLastError(Win32ErrorFromErrno(error, path));
  return FALSE;
}

}  // namespace twl
