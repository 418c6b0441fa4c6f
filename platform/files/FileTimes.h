// File times in Windows' form: 100 ns units since 1601-01-01 UTC.
#pragma once

#include <sys/stat.h>

#include <ctime>

#include "twlwin/types.h"

namespace twl {

FILETIME FileTimeFromTimespec(const timespec& time);

struct FileTimes {
  FILETIME creation;
  FILETIME lastAccess;
  FILETIME lastWrite;
};

// The times of an open descriptor, or of `path` relative to `dirFd` when
// `path` is given. Creation is the birth time where the file system keeps
// one, else the older of the change and modification times. False with
// errno set on failure.
bool ReadFileTimes(int dirFd, const char* path, FileTimes& times);

}  // namespace twl
