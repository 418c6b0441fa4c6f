// Windows file attributes for what stat(2) tells about a file.
#pragma once

#include <sys/stat.h>

#include <string>

#include "twlwin/types.h"

namespace twl {

// FILE_ATTRIBUTE_DIRECTORY for folders, ARCHIVE for files; READONLY when
// nobody may write; HIDDEN for dot-files other than "." and "..".
DWORD AttributesOf(const struct stat& info, const std::string& fileName);

// The last component of a native path.
std::string FileNameOf(const std::string& path);

}  // namespace twl
