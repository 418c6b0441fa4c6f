// The folder of this process's desktop, shared by the processes that see
// each other's windows and named objects. Thread-safe.
#pragma once

#include <string>

namespace twl {

// Creates the folder when missing; empty when it cannot be made.
std::string DesktopFolder();

}  // namespace twl
