#include "foundation/streams/DriveTransferRate.h"

#include <string>

namespace {

DWORD RateOfDriveType(UINT type) {
  switch (type) {
    case DRIVE_REMOVABLE:
      return 40000;
    case DRIVE_FIXED:
      return 2000000;
    case DRIVE_REMOTE:
    case DRIVE_CDROM:
      return 300000;
    case DRIVE_RAMDISK:
      return 10000000;
    default:
      return 0;
  }
}

// The drive type of the mount holding `path`: that of the deepest folder
// on its way that exists. The walk goes down from the root and stops at the
// first folder that is missing, so a path of thousands of missing folders
// costs no more than the folders that exist.
UINT DriveTypeOfPath(const std::string& path) {
  UINT known = DRIVE_NO_ROOT_DIR;
  bool first = true;
  for (size_t end = 0;;) {
    const size_t slash = path.find('/', end);
    const std::string folder = slash == std::string::npos ? path : path.substr(0, slash == 0 ? 1 : slash);
    const UINT type = GetDriveTypeA(folder.c_str());
    if (type == DRIVE_NO_ROOT_DIR || type == DRIVE_UNKNOWN) return first ? type : known;
    known = type;
    first = false;
    if (slash == std::string::npos) return known;
    end = slash + 1;
  }
}

UINT DriveTypeOfCurrentDirectory() {
  const DWORD needed = GetCurrentDirectoryA(0, nullptr);
  if (needed == 0) return DRIVE_UNKNOWN;
  std::string directory(needed, '\0');
  const DWORD length = GetCurrentDirectoryA(needed, directory.data());
  if (length == 0 || length >= needed) return DRIVE_UNKNOWN;
  directory.resize(length);
  return DriveTypeOfPath(directory);
}

}  // namespace

DWORD GetDriveTransferRate(const char* path) {
  if (!path || !*path) return 0;
  if (path[1] == ':') {
    const char root[] = {path[0], ':', '\\', '\0'};
    return RateOfDriveType(GetDriveTypeA(root));
  }
  if (path[0] == '/') return RateOfDriveType(DriveTypeOfPath(path));
  return RateOfDriveType(DriveTypeOfCurrentDirectory());
}
