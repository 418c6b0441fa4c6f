// Saving a playlist without risking the old file: the new one is written
// beside it under a temporary name and takes the old one's place only
// when it is complete.
#include <string>

#include "foundation/filesystem/FileSystem.h"
#include "foundation/kernel/Error.h"
#include "foundation/streams/DiskFileStream.h"
#include "foundation/streams/Stream.h"
#include "foundation/streams/StreamError.h"
#include "foundation/streams/WindowsErrorMap.h"
#include "playback/playlist/PlayList.h"

namespace {

constexpr DWORD kWriteFlags = kStreamWrite | kStreamCreateAlways;

// The first "<target>.N.tmp" that does not exist.
std::string TemporaryNameBeside(const std::string& target) {
  for (unsigned number = 0;; ++number) {
    std::string name = target + "." + std::to_string(number) + ".tmp";
    if (GetFileAttributesA(name.c_str()) == INVALID_FILE_ATTRIBUTES) return name;
  }
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

  const std::string target = path;
  const std::string temporary = TemporaryNameBeside(target);
  CStream* stream = GetFileSystem().Open(temporary.c_str(), kStreamWrite | kStreamCreateNew, 0);
  try {
    WriteAs(*stream, url, files);
  } catch (...) {
    stream->CloseNoThrow();
    DeleteFileA(temporary.c_str());
    throw;
  }
  try {
    stream->Close();  // the last bytes reach the disk here
  } catch (...) {
    DeleteFileA(temporary.c_str());
    throw;
  }
  if (!MoveFileExA(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    const DWORD error = GetLastError();
    DeleteFileA(temporary.c_str());
    ThrowError<CStreamError>(MapWindowsError(error), target.c_str());
  }
}
