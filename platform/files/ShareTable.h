// Share modes between the handles of this process: which open file handles
// exist per file (device and inode), with what access and what sharing.
#pragma once

#include <sys/types.h>

#include <cstdint>

#include "twlwin/types.h"

namespace twl {

// The access bits the table compares (a subset of the Win32 access mask).
enum ShareAccess : DWORD {
  kAccessRead = 1,
  kAccessWrite = 2,
  kAccessDelete = 4,
};

// The table's access bits for a CreateFileA access mask.
DWORD ShareAccessOf(DWORD desiredAccess, bool deleteOnClose);

struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
};

class ShareTable {
 public:
  // Records an open with `access` (ShareAccess bits) and `shareMode`
  // (FILE_SHARE_* bits). Returns a ticket for Release, or 0 when an
  // existing handle's sharing forbids the access or the new share mode
  // forbids an existing handle's access.
  static uint64_t Acquire(FileIdentity file, DWORD access, DWORD shareMode);
  static void Release(uint64_t ticket);
  // Whether the file may be deleted or renamed now: every open handle
  // shares delete access.
  static bool AllowsDelete(FileIdentity file);
};

}  // namespace twl
