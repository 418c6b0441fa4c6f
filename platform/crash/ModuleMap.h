// The modules mapped into this process, read from the kernel's list of the
// process's mappings: every file with executable code is a module, from
// its first mapping to its last. Safe inside a signal handler: it reads
// with open(2) and read(2) into buffers on the stack and allocates nothing.
#pragma once

#include <cstddef>
#include <cstdint>

namespace twl::crash {

struct MappedModule {
  uintptr_t base;
  uintptr_t end;
  const char* path;  // valid during the visit only
};

// Calls `visit` for each module in address order until it answers false.
// False when the list cannot be read.
using ModuleVisitor = bool (*)(const MappedModule& module, void* context);
bool ForEachMappedModule(ModuleVisitor visit, void* context);

}  // namespace twl::crash
