// Module handles inside the platform layer: what other parts of the layer
// (resources, for one) need beyond the exported calls. Not for product code.
#pragma once

#include <string>

#include "twlwin/types.h"

namespace twl {

// The module (the program or a shared object) whose code or data contains
// `address`, or null when no loaded module does. The module is registered
// in the module table if LoadLibraryA never loaded it, and keeps its handle
// for as long as it stays loaded.
HMODULE ModuleFromAddress(const void* address);

// The real path of a module's file; empty for an unknown handle. Null is
// the program.
std::string ModuleFilePath(HMODULE module);

// The folder of the program's file (real path, no trailing slash), where
// bare names of libraries and programs are looked for first.
std::string ProgramFolder();

}  // namespace twl
