// What the burner needs to know about a file or folder without opening
// it: kind, size, last-write time and the hidden and archive attributes.
// Paths may use '\' or '/'. A bare drive ("C:", "C:\") and "/" are roots:
// folders of size 0, answered without a lookup.
#pragma once

#include <windows.h>

#include <cstdint>

#include "kilnar/recorder/TimeStamp.h"

// True when the path names a file or folder (the first match when it holds
// wildcards). Each output may be null. The size is the low 32 bits; the
// time is left alone for a root.
bool GetFileInfo(const char* path, bool* isFolder, uint32_t* size, TimeStamp* time, bool* hidden, bool* archive);

// The low 32 bits of the file's size, 0 when there is no such file.
uint32_t GetFileSizeOf(const char* path);
// The file's whole size, 0 when there is no such file.
uint64_t GetFileSize64Of(const char* path);
// The file's last-write time, or now when there is no such file.
TimeStamp GetFileTimeOf(const char* path);

// A file time (100 ns since 1601, UTC) as a time stamp.
TimeStamp TimeStampOfFileTime(const FILETIME& time);
