#include "plugins/netvarra/ftp/FTPLoginFile.h"

#include <windows.h>

#include <string>

#include "foundation/kernel/Error.h"
#include "foundation/streams/DiskFileStream.h"
#include "foundation/streams/StreamFlags.h"
#include "plugins/netvarra/ftp/FTPLoginDataBase.h"

namespace {

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Runs `use` on the file opened with `flags`; false when opening or `use`
// throws. The stream is closed in every case.
template <class Use>
bool WithDiskFile(const std::string& path, DWORD flags, Use use, std::string* errorText = nullptr) {
  CDiskFileStream stream;
  try {
    stream.Open(path.c_str(), flags, false);
    use(stream);
    stream.Close();
    return true;
  } catch (CError* error) {
    stream.CloseNoThrow();
    if (errorText) *errorText = error->GetText().c_str();
    DisposeError(error);
    return false;
  }
}

}  // namespace

bool LoadFTPLogins(CFTPLoginDataBase& logins, const std::string& folder, std::string& errorText) {
  const std::string path = folder + kFTPLoginFileName;
  logins.Clear();
  if (!FileExists(path)) return true;
  if (WithDiskFile(path, kStreamRead | kStreamShareRead, [&logins](CStream& stream) { logins.Load(stream); },
                   &errorText))
    return true;
  // Kept beside the original at once: the next save replaces the original,
  // and the servers in it must not be lost without a trace.
  CopyFileA(path.c_str(), (path + ".bad").c_str(), FALSE);
  return false;
}

// Written beside the file under a name of this process and moved over it
// whole, so that a reader (another instance, or the next start after a
// crash mid-save) never finds half a database.
bool SaveFTPLogins(CFTPLoginDataBase& logins, const std::string& folder) {
  const std::string path = folder + kFTPLoginFileName;
  const std::string temporary = path + "." + std::to_string(GetCurrentProcessId()) + ".tmp";
  if (!WithDiskFile(temporary, kStreamRead | kStreamWrite | kStreamSeek | kStreamCreateAlways,
                    [&logins](CStream& stream) { logins.Save(stream); })) {
    DeleteFileA(temporary.c_str());
    return false;
  }
  if (MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  DeleteFileA(temporary.c_str());
  return false;
}
