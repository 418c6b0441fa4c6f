// Space and kind of the storage that holds a path. Drive numbers (1 = A,
// 26 = Z) come from a world of drive letters; here every drive number means
// the file system of the current folder. Free bytes are 64-bit: disks hold
// more than 4 GiB.
#pragma once

#include <cstdint>
#include <string>

// Free bytes on the drive's file system; 0 when the query fails.
uint64_t GetDiskFreeBytes(int drive);
// Free bytes of the file system a path would be on: its nearest existing
// folder (a path with a drive letter, or an empty one, means the current
// folder); 0 when the query fails.
uint64_t GetFreeBytesForPath(const char* path);
// Bytes per sector of the drive's file system; 0 on failure.
uint32_t GetBytesPerSector(int drive);

// 1 removable, 2 fixed, 3 CD-ROM or RAM disk, 4 network, 0 otherwise.
int GetDriveKind(int drive);

// The current folder; empty when it cannot be read.
std::string GetCurrentDir();
