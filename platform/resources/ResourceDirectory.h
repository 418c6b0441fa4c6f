// The resource tables of the loaded modules. A table registers itself when
// its module is loaded; which module it belongs to is worked out from its
// anchor address the first time someone asks. Every resource of every table
// gets a slot number of its own, never reused, so a handle to a resource of
// a module that was unloaded fails instead of naming another resource.
// Thread-safe.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "twlwin/resources.h"

namespace twl::resources {

struct FoundResource {
  const TWL_RESOURCE* resource = nullptr;
  uint32_t slot = 0;
};

// Finds a resource of `module` (null: the program). Answers a Win32 code:
// ERROR_RESOURCE_DATA_NOT_FOUND when the module has no resources,
// ERROR_RESOURCE_TYPE_NOT_FOUND or ERROR_RESOURCE_NAME_NOT_FOUND.
DWORD FindInModule(HMODULE module, LPCSTR name, LPCSTR type, FoundResource& found);
// The same among the layer's own resources (the system icons and cursors).
DWORD FindInLayer(LPCSTR name, LPCSTR type, FoundResource& found);

// The resources of one type of the loaded module whose file is at `path`,
// in table order; none when no loaded module has that file.
std::vector<FoundResource> ResourcesOfModuleFile(const std::string& path, LPCSTR type);

// The resource of a slot; null when its module has gone.
const TWL_RESOURCE* ResourceInSlot(uint32_t slot);

// Slots as the handles FindResourceA and LoadResource give out.
inline HRSRC SlotHandle(uint32_t slot) { return reinterpret_cast<HRSRC>(static_cast<uintptr_t>(slot + 1) * 4); }
bool SlotOfHandle(const void* handle, uint32_t& slot);

}  // namespace twl::resources
