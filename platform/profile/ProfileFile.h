// Profile files on disk. A reader sees a whole file, the one before or the
// one after a write: writes replace the file by renaming a complete new one
// over it. Writers of one file, in any process, take turns on a lock of the
// file, so that no change is lost between reading and replacing.
#pragma once

#include <functional>
#include <string>

#include "ProfileText.h"
#include "twlwin/types.h"

namespace twl::profile {

// The native path of a profile file named by a caller. A bare file name
// lives in the settings folder, beside the registry database.
std::string ProfilePath(const char* name);

// The file's bytes; ERROR_FILE_NOT_FOUND (or another code) when it cannot
// be read, and `bytes` is empty.
DWORD ReadProfile(const std::string& path, std::string& bytes);

// Runs `edit` on the current text under the file's lock and writes the
// result when `edit` answers true. A missing file is created only when
// `create` is set; otherwise the edit is skipped. Answers a Win32 code.
DWORD EditProfile(const std::string& path, bool create, const std::function<bool(ProfileText&)>& edit);

}  // namespace twl::profile
