// GetDriveTypeA and GetDiskFreeSpaceA: what kind of storage holds a
// folder, from the type of the file system mounted there, and its space.
#include <sys/statfs.h>
#include <sys/statvfs.h>

#include <climits>
#include <cstdlib>

#include <cerrno>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>

#include "PathResolver.h"
#include "platform/kernel/ErrnoMap.h"
#include "twlwin/files.h"
#include "twlwin/testing.h"

namespace {

UINT DriveTypeOf(uint64_t fileSystem) {
  switch (fileSystem) {
    case 0x6969:          // nfs
    case 0x517B:          // smb
    case 0xFF534D42:      // cifs
    case 0xFE534D42:      // smb2
      return DRIVE_REMOTE;
    case 0x9660:          // iso9660
    case 0x15013346:      // udf
      return DRIVE_CDROM;
    case 0x01021994:      // tmpfs
    case 0x858458F6:      // ramfs
      return DRIVE_RAMDISK;
    default:
      return DRIVE_FIXED;
  }
}

// Folders a test has given a drive type, by resolved path: what lies in
// them answers that type instead of its file system's.
struct ChosenDriveTypes {
  std::mutex lock;
  std::map<std::string, UINT> byFolder;
};

ChosenDriveTypes& GetChosenDriveTypes() {
  static ChosenDriveTypes chosen;
  return chosen;
}

std::string WithoutTrailingSlash(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

bool ChosenDriveType(const std::string& path, UINT& type) {
  ChosenDriveTypes& chosen = GetChosenDriveTypes();
  std::lock_guard<std::mutex> hold(chosen.lock);
  // The deepest chosen folder holding the path decides.
  for (std::string folder = WithoutTrailingSlash(path);;) {
    const auto found = chosen.byFolder.find(folder);
    if (found != chosen.byFolder.end()) {
      type = found->second;
      return true;
    }
    const size_t slash = folder.find_last_of('/');
    if (slash == std::string::npos || folder == "/") return false;
    folder = slash == 0 ? "/" : folder.substr(0, slash);
  }
}

}  // namespace

TWLAPI void TwlTestSetDriveType(LPCSTR folder, UINT type) {
  if (!folder || !*folder) return;
  char absolute[4096];
  const std::string resolved = twl::ResolvePath(folder);
  const std::string key = WithoutTrailingSlash(realpath(resolved.c_str(), absolute) ? absolute : resolved);
  ChosenDriveTypes& chosen = GetChosenDriveTypes();
  std::lock_guard<std::mutex> hold(chosen.lock);
  if (type == DRIVE_UNKNOWN)
    chosen.byFolder.erase(key);
  else
    chosen.byFolder[key] = type;
}

TWLAPI UINT GetDriveTypeA(LPCSTR root) {
  std::string path = root && *root ? twl::ResolvePath(root) : ".";
  char absolute[4096];
  UINT chosen = DRIVE_UNKNOWN;
  if (ChosenDriveType(realpath(path.c_str(), absolute) ? absolute : path, chosen)) return chosen;
  struct statfs info {};
  if (statfs(path.c_str(), &info) != 0) return DRIVE_NO_ROOT_DIR;
  return DriveTypeOf(static_cast<uint64_t>(static_cast<uint32_t>(info.f_type)));
}

namespace {

// statvfs of the path, or of its nearest existing folder when the path
// names something not yet made.
bool StatFileSystem(LPCSTR root, struct statvfs& info) {
  std::string path = root && *root ? twl::ResolvePath(root) : ".";
  for (;;) {
    if (statvfs(path.c_str(), &info) == 0) return true;
    if ((errno != ENOENT && errno != ENOTDIR) || path == ".") return twl::FailWithErrno(errno, path.c_str());
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
      // Cleared and appended: GCC 12 sees a false overlap in assigning a
      // literal over the string's own text and warns.
      path.clear();
      path += '.';
      continue;
    }
    if (slash == 0 && path == "/") return twl::FailWithErrno(errno, path.c_str());
    path = slash == 0 ? "/" : path.substr(0, slash);
  }
}

constexpr uint64_t kSectorBytes = 512;

DWORD SaturatedDword(uint64_t value) { return value > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<DWORD>(value); }

}  // namespace

TWLAPI BOOL GetDiskFreeSpaceA(LPCSTR root, LPDWORD sectorsPerCluster, LPDWORD bytesPerSector, LPDWORD freeClusters,
                              LPDWORD totalClusters) {
  struct statvfs info {};
  if (!StatFileSystem(root, info)) return FALSE;
  const uint64_t fragment = info.f_frsize ? info.f_frsize : info.f_bsize;
  const uint64_t clusterBytes = fragment >= kSectorBytes ? fragment / kSectorBytes * kSectorBytes : kSectorBytes;
  const uint64_t freeBytes = static_cast<uint64_t>(info.f_bavail) * fragment;
  const uint64_t totalBytes = static_cast<uint64_t>(info.f_blocks) * fragment;
  if (sectorsPerCluster) *sectorsPerCluster = static_cast<DWORD>(clusterBytes / kSectorBytes);
  if (bytesPerSector) *bytesPerSector = static_cast<DWORD>(kSectorBytes);
  if (freeClusters) *freeClusters = SaturatedDword(freeBytes / clusterBytes);
  if (totalClusters) *totalClusters = SaturatedDword(totalBytes / clusterBytes);
  return TRUE;
}

TWLAPI BOOL GetDiskFreeSpaceExA(LPCSTR root, PULARGE_INTEGER freeToCaller, PULARGE_INTEGER totalBytes,
                                PULARGE_INTEGER freeBytes) {
  struct statvfs info {};
  if (!StatFileSystem(root, info)) return FALSE;
  const uint64_t fragment = info.f_frsize ? info.f_frsize : info.f_bsize;
  if (freeToCaller) freeToCaller->QuadPart = static_cast<uint64_t>(info.f_bavail) * fragment;
  if (totalBytes) totalBytes->QuadPart = static_cast<uint64_t>(info.f_blocks) * fragment;
  if (freeBytes) freeBytes->QuadPart = static_cast<uint64_t>(info.f_bfree) * fragment;
  return TRUE;
}
