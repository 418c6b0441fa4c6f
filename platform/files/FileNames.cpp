// Calls on files by name: delete, copy, move, attributes.
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "FileAttributes.h"
#include "FileObject.h"
#include "PathResolver.h"
#include "ShareTable.h"
#include "platform/kernel/ErrnoMap.h"
#include "twlwin/errors.h"
#include "twlwin/files.h"
#include "twlwin/handles.h"

namespace {

BOOL Fail(DWORD code) {
  SetLastError(code);
  return FALSE;
}

twl::FileIdentity IdentityOf(const struct stat& info) { return {info.st_dev, info.st_ino}; }

bool CopyContents(int from, int to) {
  std::vector<char> buffer(1 << 16);
  for (;;) {
    ssize_t n = read(from, buffer.data(), buffer.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    for (ssize_t done = 0; done < n;) {
      ssize_t written = write(to, buffer.data() + done, n - done);
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) {
        if (written == 0) errno = ENOSPC;
        return false;
      }
      done += written;
    }
  }
}

// Data and name of a file on disk, as a later crash must find them: fsync
// of the file itself (`openFlags` O_RDONLY) or of its folder (O_DIRECTORY).
// What cannot be opened (no read permission) is left to the system; a
// failed flush is an error.
BOOL Sync(const std::string& path, int openFlags) {
  const int fd = open(path.c_str(), openFlags | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return TRUE;
  const bool synced = fsync(fd) == 0 || errno == EINVAL || errno == EROFS;  // nothing to flush there
  const int error = errno;
  close(fd);
  return synced ? TRUE : twl::FailWithErrno(error, path.c_str());
}

BOOL SyncFile(const std::string& path) { return Sync(path, O_RDONLY); }

// A renamed file is found under its new name after a crash.
BOOL SyncFolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return Sync(slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash), O_RDONLY | O_DIRECTORY);
}

}  // namespace

TWLAPI BOOL DeleteFileA(LPCSTR name) {
  if (!name || !*name) return Fail(ERROR_PATH_NOT_FOUND);
  std::string path = twl::ResolvePath(name);
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0) return twl::FailWithErrno(errno, path.c_str());
  if (S_ISDIR(info.st_mode)) return Fail(ERROR_ACCESS_DENIED);
  if (!S_ISLNK(info.st_mode) && !(info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH))) return Fail(ERROR_ACCESS_DENIED);
  if (!twl::ShareTable::AllowsDelete(IdentityOf(info))) return Fail(ERROR_SHARING_VIOLATION);
  if (unlink(path.c_str()) != 0) return twl::FailWithErrno(errno, path.c_str());
  return TRUE;
}

TWLAPI BOOL CopyFileA(LPCSTR existing, LPCSTR target, BOOL failIfExists) {
  if (!existing || !target) return Fail(ERROR_INVALID_PARAMETER);
  HANDLE from = CreateFileA(existing, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                            nullptr);
  if (from == INVALID_HANDLE_VALUE) return FALSE;
  auto source = twl::FindFile(from);
  struct stat info {};
  // Only files are copied: a device or a named pipe may never end.
  if (fstat(source->Fd(), &info) != 0 || !S_ISREG(info.st_mode)) {
    source.reset();
    CloseHandle(from);
    return Fail(ERROR_ACCESS_DENIED);
  }
  const DWORD readOnly = (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) ? 0 : FILE_ATTRIBUTE_READONLY;
  HANDLE to = CreateFileA(target, GENERIC_WRITE, 0, nullptr, failIfExists ? CREATE_NEW : CREATE_ALWAYS, readOnly,
                          nullptr);
  if (to == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    CloseHandle(from);
    return Fail(error);
  }
  auto destination = twl::FindFile(to);
  bool copied = CopyContents(source->Fd(), destination->Fd());
  int error = errno;
  if (copied) {
    // Windows keeps the time of the last write.
    const timespec times[2] = {info.st_atim, info.st_mtim};
    futimens(destination->Fd(), times);
  } else {
    unlink(destination->Path().c_str());
  }
  std::string destinationPath = destination->Path();
  source.reset();
  destination.reset();
  CloseHandle(from);
  CloseHandle(to);
  if (!copied) return twl::FailWithErrno(error, destinationPath.c_str());
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

TWLAPI BOOL MoveFileA(LPCSTR existing, LPCSTR target) {
  if (!existing || !target || !*existing || !*target) return Fail(ERROR_PATH_NOT_FOUND);
  std::string from = twl::ResolvePath(existing);
  struct stat info {};
  if (lstat(from.c_str(), &info) != 0) return twl::FailWithErrno(errno, from.c_str());
  if (!twl::ShareTable::AllowsDelete(IdentityOf(info))) return Fail(ERROR_SHARING_VIOLATION);

  // The target may name the source in another case: then only the case of
  // the name changes. Any other existing target is refused.
  std::string to = twl::ResolvePath(target);
  struct stat targetInfo {};
  if (lstat(to.c_str(), &targetInfo) == 0) {
    if (targetInfo.st_dev != info.st_dev || targetInfo.st_ino != info.st_ino) return Fail(ERROR_ALREADY_EXISTS);
    to = twl::ResolvePath(target, twl::ResolveMode::KeepLastComponent);
    if (to == from) return TRUE;
  }
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return TRUE;
  if (errno == EINVAL && rename(from.c_str(), to.c_str()) == 0) return TRUE;  // no RENAME_NOREPLACE support
  if (errno == EEXIST) return Fail(ERROR_ALREADY_EXISTS);
  if (errno == EXDEV && !S_ISDIR(info.st_mode)) {
    // Another file system: a file is copied and the original removed.
    if (!CopyFileA(from.c_str(), to.c_str(), TRUE)) return FALSE;
    if (unlink(from.c_str()) != 0) return twl::FailWithErrno(errno, from.c_str());
    return TRUE;
  }
  if (errno == EXDEV) return Fail(ERROR_NOT_SAME_DEVICE);
  return twl::FailWithErrno(errno, to.c_str());
}

// With MOVEFILE_REPLACE_EXISTING an existing file at the target is
// replaced in one step (a reader sees the old file or the new one, never
// a mix); a target that is a directory or open without delete sharing is
// refused. Without the flag it is MoveFileA.
TWLAPI BOOL MoveFileExA(LPCSTR existing, LPCSTR target, DWORD flags) {
  if (flags & MOVEFILE_WRITE_THROUGH) {
    if (!existing || !target) return Fail(ERROR_PATH_NOT_FOUND);
    if (!SyncFile(twl::ResolvePath(existing))) return FALSE;
    if (!MoveFileExA(existing, target, flags & ~MOVEFILE_WRITE_THROUGH)) return FALSE;
    return SyncFolderOf(twl::ResolvePath(target));
  }
  if (!(flags & MOVEFILE_REPLACE_EXISTING)) return MoveFileA(existing, target);
  if (!existing || !target || !*existing || !*target) return Fail(ERROR_PATH_NOT_FOUND);
  // An existing target is found as MoveFileA finds it, in any case.
  const std::string to = twl::ResolvePath(target);
  struct stat targetInfo {};
  if (lstat(to.c_str(), &targetInfo) != 0) return MoveFileA(existing, target);
  if (S_ISDIR(targetInfo.st_mode)) return Fail(ERROR_ACCESS_DENIED);
  if (!twl::ShareTable::AllowsDelete(IdentityOf(targetInfo))) return Fail(ERROR_SHARING_VIOLATION);
  const std::string from = twl::ResolvePath(existing);
  struct stat info {};
  if (lstat(from.c_str(), &info) != 0) return twl::FailWithErrno(errno, from.c_str());
  if (!twl::ShareTable::AllowsDelete(IdentityOf(info))) return Fail(ERROR_SHARING_VIOLATION);
  if (rename(from.c_str(), to.c_str()) == 0) return TRUE;
  if (errno == EXDEV) return Fail(ERROR_NOT_SAME_DEVICE);
  return twl::FailWithErrno(errno, to.c_str());
}

TWLAPI BOOL ReplaceFileA(LPCSTR replaced, LPCSTR replacement, LPCSTR backup, DWORD flags, LPVOID, LPVOID) {
  if (backup) return Fail(ERROR_INVALID_PARAMETER);
  if (!replaced || !replacement || !*replaced || !*replacement) return Fail(ERROR_PATH_NOT_FOUND);
  const std::string to = twl::ResolvePath(replaced);
  struct stat name {};
  if (lstat(to.c_str(), &name) != 0) return twl::FailWithErrno(errno, to.c_str());
  if (S_ISDIR(name.st_mode)) return Fail(ERROR_ACCESS_DENIED);
  if (!twl::ShareTable::AllowsDelete(IdentityOf(name))) return Fail(ERROR_SHARING_VIOLATION);
  const std::string from = twl::ResolvePath(replacement);
  struct stat info {};
  if (lstat(from.c_str(), &info) != 0) return twl::FailWithErrno(errno, from.c_str());
  if (!S_ISREG(info.st_mode)) return Fail(ERROR_ACCESS_DENIED);
  if (!twl::ShareTable::AllowsDelete(IdentityOf(info))) return Fail(ERROR_SHARING_VIOLATION);

  // What a link at the name points to carries the permissions the user gave.
  struct stat kept = name;
  if (S_ISLNK(name.st_mode) && stat(to.c_str(), &kept) != 0) kept = info;
  // Owner and group first: changing them may clear set-id bits the mode restores.
  if (kept.st_uid != info.st_uid || kept.st_gid != info.st_gid) {
    (void)!chown(from.c_str(), kept.st_uid, kept.st_gid);  // only a privileged caller may give a file away
  }
  if (chmod(from.c_str(), kept.st_mode & 07777) != 0) return twl::FailWithErrno(errno, from.c_str());

  if ((flags & REPLACEFILE_WRITE_THROUGH) && !SyncFile(from)) return FALSE;
  if (rename(from.c_str(), to.c_str()) != 0) return twl::FailWithErrno(errno, to.c_str());
  return !(flags & REPLACEFILE_WRITE_THROUGH) || SyncFolderOf(to);
}

TWLAPI DWORD GetFileAttributesA(LPCSTR name) {
  if (!name || !*name) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return INVALID_FILE_ATTRIBUTES;
  }
  std::string path = twl::ResolvePath(name);
  struct stat info {};
  if (stat(path.c_str(), &info) != 0 && lstat(path.c_str(), &info) != 0) {
    twl::FailWithErrno(errno, path.c_str());
    return INVALID_FILE_ATTRIBUTES;
  }
  return twl::AttributesOf(info, twl::FileNameOf(path));
}

TWLAPI BOOL SetFileAttributesA(LPCSTR name, DWORD attributes) {
  if (!name || !*name) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return FALSE;
  }
  std::string path = twl::ResolvePath(name);
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return twl::FailWithErrno(errno, path.c_str());
  // Only the read-only bit has a place in the file's mode; hidden follows
  // the name and the archive bit is not kept, so both are accepted as they
  // come.
  const mode_t writable = S_IWUSR | S_IWGRP | S_IWOTH;
  mode_t mode = info.st_mode & 07777;
  if (attributes & FILE_ATTRIBUTE_READONLY) mode &= ~writable;
  else if (!(mode & writable)) mode |= S_IWUSR;
  if (mode != (info.st_mode & 07777) && chmod(path.c_str(), mode) != 0) return twl::FailWithErrno(errno, path.c_str());
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}
