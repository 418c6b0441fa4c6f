#include "foundation/appcore/Directories.h"

#include <windows.h>

bool DirectoryExists(const char* path) {
  if (!path || !*path) return false;
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}
