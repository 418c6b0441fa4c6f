// Finding resources and loading them as icons, cursors, bitmaps and strings.
#include <map>
#include <mutex>
#include <new>
#include <string>

#include "ImageObjects.h"
#include "ResourceDirectory.h"
#include "twlwin/errors.h"
#include "twlwin/resources.h"

namespace twl::resources {
namespace {

// The size of icons and cursors on this system's screen.
constexpr int32_t kSystemIconSize = 32;

struct IconCache {
  std::mutex lock;
  std::map<uint32_t, std::shared_ptr<const IconFile>> files;  // by slot
  std::map<std::pair<uint32_t, size_t>, HICON> icons;         // by slot and image
  std::map<uint32_t, HBITMAP> sharedBitmaps;                  // by slot
};

IconCache& Cache() {
  static auto* cache = new IconCache;
  return *cache;
}

std::shared_ptr<const IconFile> ParsedIconFile(const FoundResource& found) {
  IconCache& cache = Cache();
  {
    std::lock_guard guard(cache.lock);
    auto known = cache.files.find(found.slot);
    if (known != cache.files.end()) return known->second;
  }
  auto file = std::make_shared<IconFile>();
  std::string error;
  if (!ReadIconFile(found.resource->data, found.resource->size, *file, error)) return nullptr;
  std::lock_guard guard(cache.lock);
  return cache.files.emplace(found.slot, std::move(file)).first->second;
}

DWORD Find(HINSTANCE instance, LPCSTR name, LPCSTR type, FoundResource& found) {
  return instance ? FindInModule(instance, name, type, found) : FindInLayer(name, type, found);
}

HICON LoadIconImage(HINSTANCE instance, LPCSTR name, bool cursor, int32_t width, int32_t height) {
  FoundResource found;
  DWORD result = Find(instance, name, cursor ? RT_GROUP_CURSOR : RT_GROUP_ICON, found);
  if (result != ERROR_SUCCESS) {
    SetLastError(result);
    return nullptr;
  }
  auto file = ParsedIconFile(found);
  if (!file || file->isCursor != cursor) {
    SetLastError(ERROR_INVALID_DATA);
    return nullptr;
  }
  const IconImage& image = BestImage(*file, width, height);
  size_t index = static_cast<size_t>(&image - file->images.data());
  IconCache& cache = Cache();
  std::lock_guard guard(cache.lock);
  HICON& icon = cache.icons[{found.slot, index}];
  if (!icon) {
    auto object = std::make_shared<IconObject>();
    object->image = image;
    object->isCursor = cursor;
    icon = InsertIcon(std::move(object));
    if (!icon) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  }
  return icon;
}

HBITMAP LoadBitmapImage(HINSTANCE instance, LPCSTR name, int32_t width, int32_t height, bool shared) {
  FoundResource found;
  DWORD result = Find(instance, name, RT_BITMAP, found);
  if (result != ERROR_SUCCESS) {
    SetLastError(result);
    return nullptr;
  }
  IconCache& cache = Cache();
  if (shared) {
    std::lock_guard guard(cache.lock);
    auto known = cache.sharedBitmaps.find(found.slot);
    if (known != cache.sharedBitmaps.end()) return known->second;
  }
  auto bitmap = std::make_shared<BitmapObject>();
  size_t end = 0;
  std::string error;
  if (!ReadPackedDib(found.resource->data, found.resource->size, false, bitmap->dib, end, error)) {
    SetLastError(ERROR_INVALID_DATA);
    return nullptr;
  }
  if ((width && width != bitmap->dib.width) || (height && height != bitmap->dib.height)) {
    SetLastError(ERROR_NOT_SUPPORTED);  // pictures are not scaled
    return nullptr;
  }
  bitmap->shared = shared;
  std::lock_guard guard(cache.lock);
  if (shared) {
    auto known = cache.sharedBitmaps.find(found.slot);
    if (known != cache.sharedBitmaps.end()) return known->second;
  }
  HBITMAP handle = InsertBitmap(std::move(bitmap));
  if (!handle) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  if (handle && shared) cache.sharedBitmaps[found.slot] = handle;
  return handle;
}

const TWL_RESOURCE* ResourceOfHandle(const void* handle) {
  uint32_t slot = 0;
  const TWL_RESOURCE* resource = SlotOfHandle(handle, slot) ? ResourceInSlot(slot) : nullptr;
  if (!resource) SetLastError(ERROR_INVALID_HANDLE);
  return resource;
}

// The longest prefix of `text` that fits `room` bytes without splitting a
// UTF-8 sequence.
size_t FittingLength(const BYTE* text, size_t length, size_t room) {
  if (length <= room) return length;
  size_t cut = room;
  size_t back = 0;
  while (cut > 0 && back < 3 && (text[cut] & 0xC0) == 0x80) {
    --cut;
    ++back;
  }
  bool splitsSequence = back > 0 && text[cut] >= 0xC2 && text[cut] <= 0xF4;
  return splitsSequence ? cut : room;
}

template <class Call>
auto Guarded(Call call) -> decltype(call()) {
  try {
    return call();
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return {};
  }
}

constexpr UINT kAcceptedImageFlags = LR_DEFAULTCOLOR | LR_DEFAULTSIZE | LR_CREATEDIBSECTION | LR_SHARED;

}  // namespace
}  // namespace twl::resources

using namespace twl::resources;

TWLAPI HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type) {
  return Guarded([&]() -> HRSRC {
    FoundResource found;
    DWORD result = FindInModule(module, name, type, found);
    if (result == ERROR_SUCCESS) return SlotHandle(found.slot);
    SetLastError(result);
    return nullptr;
  });
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
  return Guarded([&]() -> int {
    FoundResource found;
    DWORD result = FindInModule(instance, MAKEINTRESOURCEA(id), RT_STRING, found);
    if (result != ERROR_SUCCESS) {
      SetLastError(result);
      return 0;
    }
    size_t length = FittingLength(found.resource->data, found.resource->size, static_cast<size_t>(size) - 1);
    std::copy(found.resource->data, found.resource->data + length, buffer);
    buffer[length] = '\0';
    return static_cast<int>(length);
  });
}

TWLAPI HICON LoadIconA(HINSTANCE instance, LPCSTR name) {
  return Guarded([&] { return LoadIconImage(instance, name, false, kSystemIconSize, kSystemIconSize); });
}

TWLAPI HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name) {
  return Guarded([&] { return LoadIconImage(instance, name, true, kSystemIconSize, kSystemIconSize); });
}

TWLAPI HANDLE LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int width, int height, UINT flags) {
  if ((flags & ~kAcceptedImageFlags) || width < 0 || height < 0) {
    SetLastError(flags & LR_LOADFROMFILE ? ERROR_NOT_SUPPORTED : ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return Guarded([&]() -> HANDLE {
    if (type == IMAGE_BITMAP) return LoadBitmapImage(instance, name, width, height, flags & LR_SHARED);
    if (type != IMAGE_ICON && type != IMAGE_CURSOR) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
    }
    if (flags & LR_DEFAULTSIZE) {
      if (!width) width = kSystemIconSize;
      if (!height) height = kSystemIconSize;
    }
    return LoadIconImage(instance, name, type == IMAGE_CURSOR, width, height);
  });
}
