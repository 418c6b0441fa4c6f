#include "playback/diskfile/TempFiles.h"

#include <vector>

#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Error.h"

namespace {

constexpr long kLastCounter = 99999;

[[noreturn]] void ThrowTempFileError(const char* key, const char* text) {
  ThrowError<CError>(LocalText("TempFileError.Caption", "Temporary file error"), LocalText(key, text));
}

[[noreturn]] void ThrowCreateTempFileFailed() {
  ThrowTempFileError("TempError.CantCreateTempFile", "Unable to create temporary file");
}

[[noreturn]] void ThrowNoTempFolder() {
  ThrowTempFileError("TempError.NoTempDir", "Unable to retrieve directory for temporary files.");
}

// However long the folder's path is.
CStr TempFolder() {
  const DWORD needed = GetTempPathA(0, nullptr);
  if (needed == 0) ThrowNoTempFolder();
  std::vector<char> folder(static_cast<size_t>(needed) + 1, '\0');
  const DWORD length = GetTempPathA(static_cast<DWORD>(folder.size()), folder.data());
  if (length == 0 || length >= folder.size()) ThrowNoTempFolder();
  return CStr(folder.data(), length);
}

}  // namespace

CStr CreateTempFile(const char* prefix, const char* suffix, HANDLE* file) {
  const CStr folder = TempFolder();
  for (long counter = 0; counter <= kLastCounter; ++counter) {
    const CStr name = CStr::Format("%s%s%04ld%s", folder.c_str(), prefix ? prefix : "", counter, suffix ? suffix : "");
    HANDLE created = CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (created != INVALID_HANDLE_VALUE) {
      if (file)
        *file = created;
      else
        CloseHandle(created);
      return name;
    }
    // Only a taken name is worth another counter.
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
  }
  ThrowCreateTempFileFailed();
}
