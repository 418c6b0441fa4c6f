// Icons, cursors and bitmaps from resources, as the drawing side's objects.
// Icons and cursors are made once per image and shared; each file's images
// are read once.
#include <sys/stat.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <new>
#include <string>

#include "DibFormat.h"
#include "IconFormat.h"
#include "ResourceDirectory.h"
#include "platform/files/PathResolver.h"
#include "platform/gdi/Bitmap.h"
#include "platform/gdi/IconObject.h"
#include "twlwin/errors.h"
#include "twlwin/gdi.h"
#include "twlwin/resources.h"

namespace twl::resources {
namespace {

// The size of icons and cursors on this system's screen.
constexpr int32_t kSystemIconSize = 32;

struct Cache {
  std::mutex lock;
  std::map<uint32_t, std::shared_ptr<const IconFile>> files;  // by slot
  std::map<std::pair<uint32_t, size_t>, HICON> icons;         // by slot and image
  std::map<uint32_t, HBITMAP> sharedBitmaps;                  // by slot
};

Cache& TheCache() {
  static auto* cache = new Cache;  // never destroyed: handles outlive exit
  return *cache;
}

std::shared_ptr<const IconFile> ParsedIconFile(const FoundResource& found) {
  Cache& cache = TheCache();
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

HICON MakeIcon(const IconFileImage& picture, bool cursor, bool shared) {
  IconImage image;
  image.width = picture.width;
  image.height = picture.height;
  image.isIcon = !cursor;
  image.hotspotX = static_cast<DWORD>(picture.hotspotX);
  image.hotspotY = static_cast<DWORD>(picture.hotspotY);
  image.colour = picture.colour;
  image.mask = picture.mask;
  image.hasAlpha = picture.hasAlpha;
  return CreateIconFromImage(std::move(image), shared);
}

DWORD Find(HINSTANCE instance, LPCSTR name, LPCSTR type, FoundResource& found) {
  return instance ? FindInModule(instance, name, type, found) : FindInLayer(name, type, found);
}

HICON LoadIconResource(HINSTANCE instance, LPCSTR name, bool cursor, int32_t width, int32_t height) {
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
  const IconFileImage& picture = BestImage(*file, width, height);
  size_t index = static_cast<size_t>(&picture - file->images.data());
  Cache& cache = TheCache();
  std::lock_guard guard(cache.lock);
  HICON& icon = cache.icons[{found.slot, index}];
  if (!icon) icon = MakeIcon(picture, cursor, true);
  return icon;
}

HBITMAP MakeBitmap(const Dib& dib) {
  gdi::PixelFormat format;
  format.bitsPerPixel = dib.bitCount;
  format.redMask = dib.masks[0];
  format.greenMask = dib.masks[1];
  format.blueMask = dib.masks[2];
  std::vector<COLORREF> palette;
  for (uint32_t colour : dib.colors) palette.push_back(RGB(colour >> 16 & 0xFF, colour >> 8 & 0xFF, colour & 0xFF));
  auto bitmap = gdi::Bitmap::CreateDib(dib.width, dib.height, dib.topDown, format, std::move(palette));
  if (!bitmap || bitmap->Stride() != static_cast<int>(dib.stride)) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  // The rows keep the order they had in the resource, as DIB sections do.
  for (int32_t y = 0; y < dib.height; ++y) {
    int32_t stored = dib.topDown ? y : dib.height - 1 - y;
    std::memcpy(bitmap->Bits() + static_cast<size_t>(stored) * dib.stride,
                dib.bits.data() + static_cast<size_t>(y) * dib.stride, dib.stride);
  }
  HGDIOBJ handle = gdi::InsertObject(std::move(bitmap));
  if (!handle) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return static_cast<HBITMAP>(handle);
}

HBITMAP LoadBitmapResource(HINSTANCE instance, LPCSTR name, int32_t width, int32_t height, bool shared) {
  FoundResource found;
  DWORD result = Find(instance, name, RT_BITMAP, found);
  if (result != ERROR_SUCCESS) {
    SetLastError(result);
    return nullptr;
  }
  Cache& cache = TheCache();
  std::lock_guard guard(cache.lock);
  if (shared) {
    auto known = cache.sharedBitmaps.find(found.slot);
    if (known != cache.sharedBitmaps.end()) return known->second;
  }
  Dib dib;
  size_t end = 0;
  std::string error;
  if (!ReadPackedDib(found.resource->data, found.resource->size, false, dib, end, error)) {
    SetLastError(ERROR_INVALID_DATA);
    return nullptr;
  }
  if ((width && width != dib.width) || (height && height != dib.height)) {
    SetLastError(ERROR_NOT_SUPPORTED);  // pictures are not scaled
    return nullptr;
  }
  HBITMAP bitmap = MakeBitmap(dib);
  if (bitmap && shared) {
    // DeleteObject leaves a shared bitmap alone, as it does stock objects.
    gdi::FindObject(bitmap)->stock = true;
    cache.sharedBitmaps[found.slot] = bitmap;
  }
  return bitmap;
}

// ExtractIconA's side of icons: the icon of an .ico file, or the icons of
// a loaded module named by its file. Index -1 asks for their number. The
// icons belong to the caller.
HICON ExtractFromFile(const char* name, int index) {
  std::string path = ResolvePath(name);
  std::ifstream in(path, std::ios::binary);
  std::string bytes;
  struct stat info {};
  if (in && stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size < (1 << 20)) {
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  IconFile file;
  std::string error;
  if (ReadIconFile(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), file, error) && !file.isCursor) {
    if (index == -1) return reinterpret_cast<HICON>(uintptr_t{1});
    return index == 0 ? MakeIcon(BestImage(file, kSystemIconSize, kSystemIconSize), false, false) : nullptr;
  }
  std::vector<FoundResource> icons = ResourcesOfModuleFile(path, RT_GROUP_ICON);
  if (index == -1) return reinterpret_cast<HICON>(static_cast<uintptr_t>(icons.size()));
  if (index < 0 || static_cast<size_t>(index) >= icons.size()) return nullptr;
  const TWL_RESOURCE& resource = *icons[static_cast<size_t>(index)].resource;
  if (!ReadIconFile(resource.data, resource.size, file, error) || file.isCursor) return nullptr;
  return MakeIcon(BestImage(file, kSystemIconSize, kSystemIconSize), false, false);
}

const bool kExtractorInstalled = (SetIconExtractor(&ExtractFromFile), true);

constexpr UINT kAcceptedImageFlags = LR_DEFAULTCOLOR | LR_DEFAULTSIZE | LR_CREATEDIBSECTION | LR_SHARED;

template <class Call>
auto Guarded(Call call) -> decltype(call()) {
  try {
    return call();
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return {};
  }
}

}  // namespace
}  // namespace twl::resources

using namespace twl::resources;

TWLAPI HICON LoadIconA(HINSTANCE instance, LPCSTR name) {
  return Guarded([&] { return LoadIconResource(instance, name, false, kSystemIconSize, kSystemIconSize); });
}

TWLAPI HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name) {
  return Guarded([&] { return LoadIconResource(instance, name, true, kSystemIconSize, kSystemIconSize); });
}

TWLAPI HANDLE LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int width, int height, UINT flags) {
  if ((flags & ~kAcceptedImageFlags) || width < 0 || height < 0) {
    SetLastError(flags & LR_LOADFROMFILE ? ERROR_NOT_SUPPORTED : ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return Guarded([&]() -> HANDLE {
    if (type == IMAGE_BITMAP) return LoadBitmapResource(instance, name, width, height, flags & LR_SHARED);
    if (type != IMAGE_ICON && type != IMAGE_CURSOR) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
    }
    if (flags & LR_DEFAULTSIZE) {
      if (!width) width = kSystemIconSize;
      if (!height) height = kSystemIconSize;
    }
    return LoadIconResource(instance, name, type == IMAGE_CURSOR, width, height);
  });
}
