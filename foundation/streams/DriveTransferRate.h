// The expected transfer rate of the storage that holds a path, in bytes per
// second, from the kind of drive it is on: removable 40000, fixed 2000000,
// network and CD-ROM 300000, RAM disk 10000000, anything else 0.
//
// A path with a drive letter ("D:\...") asks for that drive's root. An
// absolute POSIX path asks for the mount that holds it (its nearest
// existing folder, for a file not made yet). Any other path (relative, or a
// network path "\\server\share") takes the current directory's mount.
#pragma once

#include <windows.h>

DWORD GetDriveTransferRate(const char* path);
