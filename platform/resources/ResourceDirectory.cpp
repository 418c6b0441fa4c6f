#include "ResourceDirectory.h"

#include <limits.h>

#include <cstdlib>
#include <mutex>
#include <vector>

#include "platform/modules/Modules.h"
#include "twlwin/errors.h"
#include "twlwin/modules.h"

namespace twl::resources {
namespace {

struct Registration {
  const TWL_RESOURCE_TABLE* table = nullptr;
  const void* anchor = nullptr;
  HMODULE module = nullptr;  // found on first use
  uint32_t firstSlot = 0;
  bool loaded = true;
};

struct Directory {
  std::mutex lock;
  std::vector<Registration> registrations;
  std::vector<const TWL_RESOURCE*> slots;  // null once the module left
};

Directory& TheDirectory() {
  static auto* directory = new Directory;  // never destroyed: modules unload during exit
  return *directory;
}

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

bool EqualIgnoringAsciiCase(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b) {
    if (UpperAscii(*a) != UpperAscii(*b)) return false;
  }
  return *a == *b;
}

// "#123" names the number 123.
bool NumberInText(const char* text, WORD& number) {
  if (text[0] != '#' || !text[1]) return false;
  char* end = nullptr;
  unsigned long value = std::strtoul(text + 1, &end, 10);
  if (*end || value > 0xFFFF) return false;
  number = static_cast<WORD>(value);
  return true;
}

bool Matches(WORD id, const char* text, LPCSTR wanted) {
  if (IS_INTRESOURCE(wanted)) return !text && id == static_cast<WORD>(reinterpret_cast<uintptr_t>(wanted));
  WORD number = 0;
  if (NumberInText(wanted, number)) return !text && id == number;
  return text && EqualIgnoringAsciiCase(text, wanted);
}

// Works out the modules of tables registered since the last call, without
// holding the directory's lock: the module table may have to ask the
// loader, and the loader may be registering a table at that moment.
void LearnModules(Directory& directory) {
  std::vector<std::pair<size_t, const void*>> unknown;
  {
    std::lock_guard guard(directory.lock);
    for (size_t i = 0; i < directory.registrations.size(); ++i) {
      const auto& registration = directory.registrations[i];
      if (registration.loaded && !registration.module) unknown.emplace_back(i, registration.anchor);
    }
  }
  for (auto& [index, anchor] : unknown) {
    HMODULE module = ModuleFromAddress(anchor);
    std::lock_guard guard(directory.lock);
    auto& registration = directory.registrations[index];
    if (registration.loaded && registration.anchor == anchor) registration.module = module;
  }
}

}  // namespace

DWORD FindInModule(HMODULE module, LPCSTR name, LPCSTR type, FoundResource& found) {
  if (!name || !type) return ERROR_INVALID_PARAMETER;
  HMODULE wanted = module ? module : GetModuleHandleA(nullptr);
  Directory& directory = TheDirectory();
  LearnModules(directory);
  std::lock_guard guard(directory.lock);
  bool anyTable = false;
  bool anyOfType = false;
  for (const auto& registration : directory.registrations) {
    if (!registration.loaded || registration.module != wanted) continue;
    anyTable = true;
    for (DWORD i = 0; i < registration.table->count; ++i) {
      const TWL_RESOURCE& resource = registration.table->resources[i];
      if (!Matches(resource.typeId, resource.typeName, type)) continue;
      anyOfType = true;
      if (!Matches(resource.nameId, resource.nameText, name)) continue;
      found.resource = &resource;
      found.slot = registration.firstSlot + i;
      return ERROR_SUCCESS;
    }
  }
  if (!anyTable) return ERROR_RESOURCE_DATA_NOT_FOUND;
  return anyOfType ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND;
}

DWORD FindInLayer(LPCSTR name, LPCSTR type, FoundResource& found) {
  static const HMODULE layer = ModuleFromAddress(reinterpret_cast<const void*>(&TwlRegisterResources));
  return FindInModule(layer, name, type, found);
}

std::vector<FoundResource> ResourcesOfModuleFile(const std::string& path, LPCSTR type) {
  std::vector<FoundResource> found;
  char resolved[PATH_MAX];
  if (!realpath(path.c_str(), resolved)) return found;
  Directory& directory = TheDirectory();
  LearnModules(directory);
  std::vector<std::pair<HMODULE, size_t>> modules;
  {
    std::lock_guard guard(directory.lock);
    for (size_t i = 0; i < directory.registrations.size(); ++i) {
      if (directory.registrations[i].loaded) modules.emplace_back(directory.registrations[i].module, i);
    }
  }
  for (const auto& [module, index] : modules) {
    if (!module || ModuleFilePath(module) != resolved) continue;
    std::lock_guard guard(directory.lock);
    const Registration& registration = directory.registrations[index];
    if (!registration.loaded) continue;
    for (DWORD i = 0; i < registration.table->count; ++i) {
      const TWL_RESOURCE& resource = registration.table->resources[i];
      if (Matches(resource.typeId, resource.typeName, type)) found.push_back({&resource, registration.firstSlot + i});
    }
  }
  return found;
}

const TWL_RESOURCE* ResourceInSlot(uint32_t slot) {
  Directory& directory = TheDirectory();
  std::lock_guard guard(directory.lock);
  return slot < directory.slots.size() ? directory.slots[slot] : nullptr;
}

bool SlotOfHandle(const void* handle, uint32_t& slot) {
  auto value = reinterpret_cast<uintptr_t>(handle);
  if (value == 0 || value % 4 != 0 || value > 0xFFFFFFFFu) return false;
  slot = static_cast<uint32_t>(value / 4 - 1);
  return true;
}

}  // namespace twl::resources

TWLAPI void TwlRegisterResources(const TWL_RESOURCE_TABLE* table, const void* anchor) {
  if (!table || !anchor || table->version != TWL_RESOURCE_TABLE_VERSION || (table->count && !table->resources)) return;
  auto& directory = twl::resources::TheDirectory();
  std::lock_guard guard(directory.lock);
  twl::resources::Registration registration;
  registration.table = table;
  registration.anchor = anchor;
  registration.firstSlot = static_cast<uint32_t>(directory.slots.size());
  for (DWORD i = 0; i < table->count; ++i) directory.slots.push_back(&table->resources[i]);
  directory.registrations.push_back(registration);
}

TWLAPI void TwlUnregisterResources(const TWL_RESOURCE_TABLE* table) {
  auto& directory = twl::resources::TheDirectory();
  std::lock_guard guard(directory.lock);
  for (auto& registration : directory.registrations) {
    if (registration.table != table || !registration.loaded) continue;
    registration.loaded = false;
    registration.module = nullptr;
    for (DWORD i = 0; i < table->count; ++i) directory.slots[registration.firstSlot + i] = nullptr;
  }
}
