// Folders: creating and removing them, the current folder, full and final
// path names.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "FileObject.h"
#include "PathResolver.h"
#include "StringOut.h"
#include "platform/kernel/ErrnoMap.h"
#include "twlwin/errors.h"
#include "twlwin/files.h"

namespace {

BOOL Fail(DWORD code) {
  SetLastError(code);
  return FALSE;
}

// "." and ".." taken out and separators made single, without looking at
// the disk (as Windows does); a trailing separator is kept.
std::string Lexical(const std::string& absolute) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= absolute.size()) {
    size_t end = absolute.find('/', start);
    if (end == std::string::npos) end = absolute.size();
    std::string part = absolute.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  std::string result;
  for (const auto& part : parts) result += "/" + part;
  if (result.empty() || absolute.back() == '/') result += "/";
  return result;
}

}  // namespace

TWLAPI BOOL CreateDirectoryA(LPCSTR name, LPSECURITY_ATTRIBUTES attributes) {
  if (!name || !*name) return Fail(ERROR_PATH_NOT_FOUND);
  std::string path = twl::ResolvePath(name);
  if (mkdir(path.c_str(), 0777) == 0) return TRUE;
  if (errno == EEXIST) return Fail(ERROR_ALREADY_EXISTS);
  return twl::FailWithErrno(errno, path.c_str());
}

TWLAPI BOOL RemoveDirectoryA(LPCSTR name) {
  if (!name || !*name) return Fail(ERROR_PATH_NOT_FOUND);
  std::string path = twl::ResolvePath(name);
  if (rmdir(path.c_str()) == 0) return TRUE;
  struct stat info {};
  if (errno == ENOTDIR && stat(path.c_str(), &info) == 0) return Fail(ERROR_DIRECTORY);
  return twl::FailWithErrno(errno, path.c_str());
}

TWLAPI DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer) {
  std::string current = twl::AbsolutePath("");
  if (current.size() > 1 && current.back() == '/') current.pop_back();
  return twl::CopyOutOrNeed(current, size, buffer);
}

TWLAPI BOOL SetCurrentDirectoryA(LPCSTR path) {
  if (!path || !*path) return Fail(ERROR_PATH_NOT_FOUND);
  std::string resolved = twl::ResolvePath(path);
  if (chdir(resolved.c_str()) == 0) return TRUE;
  if (errno == ENOTDIR) return Fail(ERROR_DIRECTORY);
  return twl::FailWithErrno(errno, resolved.c_str());
}

TWLAPI DWORD GetFullPathNameA(LPCSTR name, DWORD size, LPSTR buffer, LPSTR* filePart) {
  if (filePart) *filePart = nullptr;
  if (!name || !*name) {
    SetLastError(ERROR_INVALID_NAME);
    return 0;
  }
  std::string full = Lexical(twl::AbsolutePath(twl::WithSlashes(name)));
  DWORD result = twl::CopyOutOrNeed(full, size, buffer);
  if (result == full.size() && filePart && full.back() != '/') *filePart = buffer + full.find_last_of('/') + 1;
  return result;
}

TWLAPI DWORD GetFinalPathNameByHandleA(HANDLE handle, LPSTR buffer, DWORD size, DWORD) {
  auto file = twl::FindFile(handle);
  if (!file) return 0;
  // The kernel knows the path of what the descriptor is open on.
  const std::string link = "/proc/self/fd/" + std::to_string(file->Fd());
  std::vector<char> path(4096);
  for (;;) {
    const ssize_t length = readlink(link.c_str(), path.data(), path.size());
    if (length < 0) {
      twl::FailWithErrno(errno, file->Path().c_str());
      return 0;
    }
    if (static_cast<size_t>(length) < path.size())
      return twl::CopyOutOrNeed(std::string(path.data(), length), size, buffer);
    path.resize(path.size() * 2);
  }
}
