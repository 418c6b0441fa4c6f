// GetDriveTypeA: what kind of storage holds a folder, from the type of the
// file system mounted there.
#include <sys/statfs.h>

#include <cstdint>

#include "PathResolver.h"
#include "twlwin/files.h"

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

}  // namespace

TWLAPI UINT GetDriveTypeA(LPCSTR root) {
  std::string path = root && *root ? twl::ResolvePath(root) : ".";
  struct statfs info {};
  if (statfs(path.c_str(), &info) != 0) return DRIVE_NO_ROOT_DIR;
  return DriveTypeOf(static_cast<uint64_t>(static_cast<uint32_t>(info.f_type)));
}
