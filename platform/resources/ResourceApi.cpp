// Finding a module's resources and reading their bytes and strings.
#include <algorithm>
#include <new>

#include "ResourceDirectory.h"
#include "platform/text/Utf8Prefix.h"
#include "twlwin/errors.h"
#include "twlwin/resources.h"

namespace twl::resources {
namespace {

const TWL_RESOURCE* ResourceOfHandle(const void* handle) {
  uint32_t slot = 0;
  const TWL_RESOURCE* resource = SlotOfHandle(handle, slot) ? ResourceInSlot(slot) : nullptr;
  if (!resource) SetLastError(ERROR_INVALID_HANDLE);
  return resource;
}

}  // namespace
}  // namespace twl::resources

using namespace twl::resources;

TWLAPI HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type) {
  try {
    FoundResource found;
    DWORD result = FindInModule(module, name, type, found);
    if (result == ERROR_SUCCESS) return SlotHandle(found.slot);
    SetLastError(result);
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  }
  return nullptr;
}

TWLAPI DWORD SizeofResource(HMODULE, HRSRC resource) {
  const TWL_RESOURCE* found = ResourceOfHandle(resource);
  return found ? found->size : 0;
}

TWLAPI HGLOBAL LoadResource(HMODULE, HRSRC resource) {
  return ResourceOfHandle(resource) ? static_cast<HGLOBAL>(resource) : nullptr;
}

TWLAPI LPVOID LockResource(HGLOBAL resource) {
  const TWL_RESOURCE* found = ResourceOfHandle(resource);
  return found ? const_cast<BYTE*>(found->data) : nullptr;
}

TWLAPI int LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int size) {
  if (!buffer || size <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  buffer[0] = '\0';
  if (id > 0xFFFF) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return 0;
  }
  try {
    FoundResource found;
    DWORD result = FindInModule(instance, MAKEINTRESOURCEA(id), RT_STRING, found);
    if (result != ERROR_SUCCESS) {
      SetLastError(result);
      return 0;
    }
    size_t length = twl::Utf8PrefixLength(found.resource->data, found.resource->size, static_cast<size_t>(size) - 1);
    std::copy(found.resource->data, found.resource->data + length, buffer);
    buffer[length] = '\0';
    return static_cast<int>(length);
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
}
