#include "kilnar/recorder/DiskSpace.h"

#include <windows.h>

#include <vector>

namespace {

bool HasDriveLetter(const char* path) {
  const char c = path[0];
  return ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) && path[1] == ':';
}

uint64_t FreeBytesOf(const char* root) {
  DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
  if (!GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters)) return 0;
  return static_cast<uint64_t>(sectorsPerCluster) * bytesPerSector * freeClusters;
}

}  // namespace

std::string GetCurrentDir() {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length == 0) return {};
    if (length < buffer.size()) return std::string(buffer.data(), length);
    buffer.resize(length + 1);
  }
}

uint64_t GetDiskFreeBytes(int /*drive*/) { return FreeBytesOf(GetCurrentDir().c_str()); }

uint64_t GetFreeBytesForPath(const char* path) {
  if (!path || !*path || HasDriveLetter(path)) return GetDiskFreeBytes(0);
  return FreeBytesOf(path);
}

uint32_t GetBytesPerSector(int /*drive*/) {
  DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
  if (!GetDiskFreeSpaceA(GetCurrentDir().c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters,
                         &totalClusters))
    return 0;
  return bytesPerSector;
}

int GetDriveKind(int /*drive*/) {
  switch (GetDriveTypeA(GetCurrentDir().c_str())) {
    case DRIVE_REMOVABLE:
      return 1;
    case DRIVE_FIXED:
      return 2;
    case DRIVE_CDROM:
    case DRIVE_RAMDISK:
      return 3;
    case DRIVE_REMOTE:
      return 4;
    default:
      return 0;
  }
}
