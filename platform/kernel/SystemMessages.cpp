// FormatMessageA for system error codes: the texts of the codes the layer
// sets, in our own words; any other code gets a text naming its number.
#include <cstdio>
#include <cstring>
#include <string>

#include "twlwin/errors.h"

namespace {

struct SystemText {
  DWORD code;
  const char* text;
};

constexpr SystemText kSystemTexts[] = {
    {ERROR_SUCCESS, "The operation completed successfully."},
    {ERROR_INVALID_FUNCTION, "The function is not valid here."},
    {ERROR_FILE_NOT_FOUND, "The file cannot be found."},
    {ERROR_PATH_NOT_FOUND, "The path cannot be found."},
    {ERROR_TOO_MANY_OPEN_FILES, "Too many files are open."},
    {ERROR_ACCESS_DENIED, "Access is denied."},
    {ERROR_INVALID_HANDLE, "The handle is not valid."},
    {ERROR_NOT_ENOUGH_MEMORY, "There is not enough memory for this operation."},
    {ERROR_OUTOFMEMORY, "There is not enough memory for this operation."},
    {ERROR_INVALID_DRIVE, "The drive cannot be found."},
    {ERROR_WRITE_PROTECT, "The medium is write-protected."},
    {ERROR_NOT_READY, "The device is not ready."},
    {ERROR_WRITE_FAULT, "The device cannot write."},
    {ERROR_READ_FAULT, "The device cannot read."},
    {ERROR_GEN_FAILURE, "A device attached to the system is not working."},
    {ERROR_SHARING_VIOLATION, "The file is in use by another process."},
    {ERROR_LOCK_VIOLATION, "Part of the file is locked by another process."},
    {ERROR_HANDLE_EOF, "The end of the file has been reached."},
    {ERROR_HANDLE_DISK_FULL, "The disk is full."},
    {ERROR_NOT_SUPPORTED, "The request is not supported."},
    {ERROR_FILE_EXISTS, "The file exists."},
    {ERROR_INVALID_PARAMETER, "The parameter is incorrect."},
    {ERROR_DISK_FULL, "There is not enough space on the disk."},
    {ERROR_CALL_NOT_IMPLEMENTED, "This function is not supported on this system."},
    {ERROR_INSUFFICIENT_BUFFER, "The data area passed to a system call is too small."},
    {ERROR_INVALID_NAME, "The file name, folder name or volume label syntax is incorrect."},
    {ERROR_MOD_NOT_FOUND, "The module cannot be found."},
    {ERROR_PROC_NOT_FOUND, "The procedure cannot be found."},
    {ERROR_NEGATIVE_SEEK, "The file pointer cannot be set before the start of the file."},
    {ERROR_DIR_NOT_EMPTY, "The folder is not empty."},
    {ERROR_ALREADY_EXISTS, "The file cannot be created because it exists."},
    {ERROR_FILENAME_EXCED_RANGE, "The file name or extension is too long."},
    {ERROR_DIRECTORY, "The folder name is not valid."},
    {ERROR_OPERATION_ABORTED, "The I/O operation has been aborted."},
    {ERROR_TIMEOUT, "The operation timed out."},
};

std::string SystemTextOf(DWORD code) {
  for (const auto& entry : kSystemTexts)
    if (entry.code == code) return std::string(entry.text) + "\r\n";
  char text[64];
  std::snprintf(text, sizeof text, "System error %lu.\r\n", static_cast<unsigned long>(code));
  return text;
}

}  // namespace

TWLAPI DWORD FormatMessageA(DWORD flags, LPCVOID, DWORD messageId, DWORD, LPSTR buffer, DWORD size, void*) {
  if (!(flags & FORMAT_MESSAGE_FROM_SYSTEM) || (flags & FORMAT_MESSAGE_ALLOCATE_BUFFER) || buffer == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const std::string text = SystemTextOf(messageId);
  if (text.size() + 1 > size) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return static_cast<DWORD>(text.size());
}
