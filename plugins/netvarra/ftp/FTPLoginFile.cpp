#include "plugins/netvarra/ftp/FTPLoginFile.h"

#include <windows.h>

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

bool SaveFTPLogins(CFTPLoginDataBase& logins, const std::string& folder) {
  const std::string path = folder + kFTPLoginFileName;
  return WithDiskFile(path, kStreamRead | kStreamWrite | kStreamSeek | kStreamCreateAlways,
                      [&logins](CStream& stream) { logins.Save(stream); });
}
