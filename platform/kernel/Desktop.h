// The desktop folder: where the named objects and windows of the processes
// that see each other live. $TWL_DESKTOP, else $XDG_RUNTIME_DIR/twl-desktop,
// else a folder of the user's under /tmp. Created on first use.
#pragma once

#include <string>

namespace twl {

const std::string& DesktopFolder();

// A file name for an object name of any bytes: letters, digits, '-', '_'
// and '.' stay, everything else becomes %XX, so names never reach outside
// the folder.
std::string EncodeObjectName(const std::string& name);

}  // namespace twl
