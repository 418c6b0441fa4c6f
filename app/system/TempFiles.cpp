#include "app/system/TempFiles.h"

#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Error.h"

namespace {

constexpr long kLastCounter = 99999;

[[noreturn]] void ThrowCreateTempFileFailed() {
  ThrowError<CError>(LocalText("CSystem.CreateTempFileFailed.Caption", "Temporary file error"),
                     LocalText("CSystem.CreateTempFileFailed.Text", "Unable to create temporary file"));
}

CStr TempFolder() {
  char folder[MAX_PATH];
  const DWORD length = GetTempPathA(sizeof folder, folder);
  if (length == 0 || length >= sizeof folder) ThrowCreateTempFileFailed();
  return CStr(folder, length);
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
