// Saving a playlist without risking the old file: the new one is written
// beside it under a temporary name and takes the old one's place only
// when it is complete and on disk. A path that is a symbolic link saves
// into the file the link names, and the new file keeps the old one's
// permissions.
#include <string>
#include <vector>

#include "foundation/filesystem/FileSystem.h"
#include "foundation/kernel/Error.h"
#include "foundation/streams/DiskFileStream.h"
#include "foundation/streams/Stream.h"
#include "foundation/streams/StreamError.h"
#include "foundation/streams/WindowsErrorMap.h"
#include "playback/playlist/PlayList.h"

namespace {

constexpr DWORD kWriteFlags = kStreamWrite | kStreamCreateAlways;
constexpr const char* kTemporarySuffix = ".tmp";

[[noreturn]] void ThrowSaveError(DWORD windowsError, const std::string& path) {
  ThrowError<CStreamError>(MapWindowsError(windowsError), path.c_str());
}

// The absolute form of `path`, so that the location stored in the file
// names it from anywhere.
std::string AbsolutePathOf(const std::string& path) {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = GetFullPathNameA(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (length == 0) ThrowSaveError(GetLastError(), path);
    if (length < buffer.size()) return std::string(buffer.data(), length);
    buffer.resize(length);
  }
}

// The file `path` leads to through symbolic links; `path` itself when
// nothing is there yet.
std::string FinalPathOf(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return path;
  std::vector<char> buffer(MAX_PATH);
  DWORD length = 0;
  while ((length = GetFinalPathNameByHandleA(file, buffer.data(), static_cast<DWORD>(buffer.size()),
                                             FILE_NAME_NORMALIZED | VOLUME_NAME_DOS)) >= buffer.size()) {
    buffer.resize(length);
  }
  CloseHandle(file);
  return length == 0 ? path : std::string(buffer.data(), length);
}

// "<target>.N.tmp" for a number N.
bool IsTemporaryOf(const std::string& name, const std::string& targetName) {
  const size_t suffix = std::char_traits<char>::length(kTemporarySuffix);
  if (name.size() <= targetName.size() + 1 + suffix) return false;
  if (name.compare(0, targetName.size(), targetName) != 0 || name[targetName.size()] != '.') return false;
  if (name.compare(name.size() - suffix, suffix, kTemporarySuffix) != 0) return false;
  for (size_t at = targetName.size() + 1; at < name.size() - suffix; ++at) {
    if (name[at] < '0' || name[at] > '9') return false;
  }
  return true;
}

// Removes the temporaries that saves of `target` killed midway left
// behind. A save running in another process at this very moment loses its
// temporary and reports a failure; the file then holds this save's list,
// as it would if that save had finished first.
void RemoveStaleTemporaries(const std::string& target) {
  const size_t slash = target.find_last_of('/');
  const std::string folder = target.substr(0, slash + 1);
  const std::string targetName = target.substr(slash + 1);
  WIN32_FIND_DATAA found{};
  HANDLE find = FindFirstFileA((target + ".*" + kTemporarySuffix).c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsTemporaryOf(found.cFileName, targetName)) {
      DeleteFileA((folder + found.cFileName).c_str());
    }
  } while (FindNextFileA(find, &found));
  FindClose(find);
}

// The first "<target>.N.tmp" that does not exist.
std::string TemporaryNameBeside(const std::string& target) {
  for (unsigned number = 0;; ++number) {
    std::string name = target + "." + std::to_string(number) + kTemporarySuffix;
    if (GetFileAttributesA(name.c_str()) == INVALID_FILE_ATTRIBUTES) return name;
  }
}

// The temporary takes the target's place, its data and name on disk
// before the call returns; a target that is not there yet is created.
void PutInPlace(const std::string& temporary, const std::string& target) {
  if (ReplaceFileA(target.c_str(), temporary.c_str(), nullptr, REPLACEFILE_WRITE_THROUGH, nullptr, nullptr)) return;
  DWORD error = GetLastError();
  if (error == ERROR_FILE_NOT_FOUND &&
      MoveFileExA(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return;
  }
  if (error == ERROR_FILE_NOT_FOUND) error = GetLastError();
  DeleteFileA(temporary.c_str());
  ThrowSaveError(error, target);
}

}  // namespace

void CPlayList::Save(const char* url, CFileInfoDataBase& files) {
  const char* path = url ? CDiskFileStream::PathOfURL(url) : nullptr;
  if (!path) {
    // Not a local file (a plug-in's provider): nothing to rename, so the
    // stream is written in place.
    CStream* stream = GetFileSystem().Open(url, kWriteFlags, 0);
    try {
      WriteAs(*stream, url, files);
    } catch (...) {
      stream->CloseNoThrow();
      throw;
    }
    stream->Close();
    return;
  }

  const std::string location = AbsolutePathOf(path);
  const std::string target = FinalPathOf(location);
  RemoveStaleTemporaries(target);
  const std::string temporary = TemporaryNameBeside(target);
  CStream* stream = GetFileSystem().Open(temporary.c_str(), kStreamWrite | kStreamCreateNew, 0);
  try {
    WriteAs(*stream, ("file://" + location).c_str(), files);
  } catch (...) {
    stream->CloseNoThrow();
    DeleteFileA(temporary.c_str());
    throw;
  }
  try {
    stream->Close();  // the last bytes reach the file here
  } catch (...) {
    DeleteFileA(temporary.c_str());
    throw;
  }
  PutInPlace(temporary, target);
}
