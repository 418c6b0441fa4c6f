// Reading, writing, the file pointer and the size of an open file handle.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "FileObject.h"
#include "FileTimes.h"
#include "platform/kernel/ErrnoMap.h"
#include "twlwin/errors.h"
#include "twlwin/files.h"

namespace {

// A descriptor opened without the access a call needs answers EBADF (or
// EINVAL for ftruncate); Windows says access denied.
BOOL FailIo(int error) {
  if (error == EBADF) error = EACCES;
  return twl::FailWithErrno(error);
}

int64_t OffsetOf(const OVERLAPPED* overlapped) {
  return static_cast<int64_t>((static_cast<uint64_t>(overlapped->OffsetHigh) << 32) | overlapped->Offset);
}

// The absolute position a move by `distance` from `method` leads to.
DWORD TargetPosition(int fd, int64_t distance, DWORD method, int64_t& target) {
  int64_t base = 0;
  if (method == FILE_CURRENT) {
    base = lseek(fd, 0, SEEK_CUR);
    if (base < 0) return twl::Win32ErrorFromErrno(errno);
  } else if (method == FILE_END) {
    struct stat info {};
    if (fstat(fd, &info) != 0) return twl::Win32ErrorFromErrno(errno);
    base = info.st_size;
  } else if (method != FILE_BEGIN) {
    return ERROR_INVALID_PARAMETER;
  }
  if (__builtin_add_overflow(base, distance, &target)) return ERROR_INVALID_PARAMETER;
  return target < 0 ? ERROR_NEGATIVE_SEEK : ERROR_SUCCESS;
}

}  // namespace

TWLAPI BOOL ReadFile(HANDLE handle, LPVOID buffer, DWORD toRead, LPDWORD read, LPOVERLAPPED overlapped) {
  if (read) *read = 0;
  auto file = twl::FindFile(handle);
  if (!file) return FALSE;
  if (!buffer && toRead) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  int64_t offset = overlapped ? OffsetOf(overlapped) : -1;
  DWORD done = 0;
  auto* bytes = static_cast<char*>(buffer);
  while (done < toRead) {
    ssize_t n = offset >= 0 ? pread(file->Fd(), bytes + done, toRead - done, offset + done)
                            : ::read(file->Fd(), bytes + done, toRead - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      if (read) *read = done;
      return FailIo(errno);
    }
    if (n == 0) break;  // end of file: a short count, still success
    done += static_cast<DWORD>(n);
  }
  if (offset >= 0) lseek(file->Fd(), offset + done, SEEK_SET);
  if (overlapped) overlapped->InternalHigh = done;
  if (read) *read = done;
  return TRUE;
}

TWLAPI BOOL WriteFile(HANDLE handle, LPCVOID buffer, DWORD toWrite, LPDWORD written, LPOVERLAPPED overlapped) {
  if (written) *written = 0;
  auto file = twl::FindFile(handle);
  if (!file) return FALSE;
  if (!buffer && toWrite) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  int64_t offset = overlapped ? OffsetOf(overlapped) : -1;
  DWORD done = 0;
  const auto* bytes = static_cast<const char*>(buffer);
  while (done < toWrite) {
    ssize_t n = offset >= 0 ? pwrite(file->Fd(), bytes + done, toWrite - done, offset + done)
                            : ::write(file->Fd(), bytes + done, toWrite - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (written) *written = done;
      return FailIo(n == 0 ? ENOSPC : errno);
    }
    done += static_cast<DWORD>(n);
  }
  if (offset >= 0) lseek(file->Fd(), offset + done, SEEK_SET);
  if (overlapped) overlapped->InternalHigh = done;
  if (written) *written = done;
  return TRUE;
}

TWLAPI BOOL FlushFileBuffers(HANDLE handle) {
  auto file = twl::FindFile(handle);
  if (!file) return FALSE;
  if (fsync(file->Fd()) != 0 && errno != EINVAL && errno != EROFS) return FailIo(errno);
  return TRUE;
}

TWLAPI BOOL SetFilePointerEx(HANDLE handle, LARGE_INTEGER distance, PLARGE_INTEGER newPosition, DWORD method) {
  auto file = twl::FindFile(handle);
  if (!file) return FALSE;
  int64_t target = 0;
  if (DWORD error = TargetPosition(file->Fd(), distance.QuadPart, method, target)) {
    SetLastError(error);
    return FALSE;
  }
  if (lseek(file->Fd(), target, SEEK_SET) < 0) return twl::FailWithErrno(errno);
  if (newPosition) newPosition->QuadPart = target;
  return TRUE;
}

TWLAPI DWORD SetFilePointer(HANDLE handle, LONG distance, PLONG distanceHigh, DWORD method) {
  auto file = twl::FindFile(handle);
  if (!file) return INVALID_SET_FILE_POINTER;
  // Without a high part the distance is a signed 32-bit value; with one
  // the two halves form a signed 64-bit value.
  int64_t move = distance;
  if (distanceHigh) {
    move = static_cast<int64_t>((static_cast<uint64_t>(static_cast<uint32_t>(*distanceHigh)) << 32) |
                                static_cast<uint32_t>(distance));
  }
  int64_t target = 0;
  DWORD error = TargetPosition(file->Fd(), move, method, target);
  if (!error && !distanceHigh && target >= static_cast<int64_t>(INVALID_SET_FILE_POINTER)) error = ERROR_INVALID_PARAMETER;
  if (error) {
    SetLastError(error);
    return INVALID_SET_FILE_POINTER;
  }
  if (lseek(file->Fd(), target, SEEK_SET) < 0) {
    twl::FailWithErrno(errno);
    return INVALID_SET_FILE_POINTER;
  }
  if (distanceHigh) *distanceHigh = static_cast<LONG>(static_cast<uint64_t>(target) >> 32);
  // The low part may legitimately be INVALID_SET_FILE_POINTER; callers
  // then look at the last error.
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(target);
}

TWLAPI BOOL SetEndOfFile(HANDLE handle) {
  auto file = twl::FindFile(handle);
  if (!file) return FALSE;
  off_t position = lseek(file->Fd(), 0, SEEK_CUR);
  if (position < 0) return twl::FailWithErrno(errno);
  if (ftruncate(file->Fd(), position) != 0) return FailIo(errno == EINVAL ? EBADF : errno);
  return TRUE;
}

TWLAPI BOOL GetFileSizeEx(HANDLE handle, PLARGE_INTEGER size) {
  auto file = twl::FindFile(handle);
  if (!file) return FALSE;
  struct stat info {};
  if (fstat(file->Fd(), &info) != 0) return twl::FailWithErrno(errno);
  if (size) size->QuadPart = info.st_size;
  return TRUE;
}

TWLAPI DWORD GetFileSize(HANDLE handle, LPDWORD sizeHigh) {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(handle, &size)) return INVALID_FILE_SIZE;
  if (sizeHigh) *sizeHigh = static_cast<DWORD>(static_cast<uint64_t>(size.QuadPart) >> 32);
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(size.QuadPart);
}

TWLAPI BOOL GetFileTime(HANDLE handle, LPFILETIME creation, LPFILETIME lastAccess, LPFILETIME lastWrite) {
  auto file = twl::FindFile(handle);
  if (!file) return FALSE;
  twl::FileTimes times{};
  if (!twl::ReadFileTimes(file->Fd(), nullptr, times)) return twl::FailWithErrno(errno);
  if (creation) *creation = times.creation;
  if (lastAccess) *lastAccess = times.lastAccess;
  if (lastWrite) *lastWrite = times.lastWrite;
  return TRUE;
}
