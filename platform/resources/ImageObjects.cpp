#include "ImageObjects.h"

#include <algorithm>

#include "kernel/IdTable.h"
#include "twlwin/testing.h"

namespace twl::resources {
namespace {

constexpr uintptr_t kBitmapTag = 0x40000000u;

IdTable<const IconObject>& Icons() {
  static auto* table = new IdTable<const IconObject>;
  return *table;
}

IdTable<const BitmapObject>& Bitmaps() {
  static auto* table = new IdTable<const BitmapObject>;
  return *table;
}

uint32_t IdOf(const void* handle) {
  auto value = reinterpret_cast<uintptr_t>(handle);
  return value > 0xFFFFFFFFu ? 0 : static_cast<uint32_t>(value);
}

bool BitmapIdOf(const void* handle, uint32_t& id) {
  uint32_t value = IdOf(handle);
  if (!(value & kBitmapTag)) return false;
  id = value & ~static_cast<uint32_t>(kBitmapTag);
  return true;
}

}  // namespace

HICON InsertIcon(std::shared_ptr<const IconObject> icon) {
  return reinterpret_cast<HICON>(static_cast<uintptr_t>(Icons().Insert(std::move(icon))));
}

std::shared_ptr<const IconObject> FindIcon(HICON handle) { return Icons().Find(IdOf(handle)); }

HBITMAP InsertBitmap(std::shared_ptr<const BitmapObject> bitmap) {
  uint32_t id = Bitmaps().Insert(std::move(bitmap));
  if (id == 0 || id >= kBitmapTag) return nullptr;
  return reinterpret_cast<HBITMAP>(static_cast<uintptr_t>(id) | kBitmapTag);
}

std::shared_ptr<const BitmapObject> FindBitmap(HBITMAP handle) {
  uint32_t id = 0;
  return BitmapIdOf(handle, id) ? Bitmaps().Find(id) : nullptr;
}

}  // namespace twl::resources

namespace twl {

bool DeleteBitmapObject(HGDIOBJ object) {
  uint32_t id = 0;
  if (!resources::BitmapIdOf(object, id)) return false;
  auto bitmap = resources::Bitmaps().Find(id);
  if (!bitmap) return false;
  if (!bitmap->shared) resources::Bitmaps().Remove(id);
  return true;
}

}  // namespace twl

namespace {

// Copies `count` pixels into the caller's buffer when it is large enough.
BOOL CopyPixels(const std::vector<uint32_t>& pixels, DWORD* buffer, DWORD capacity) {
  if (!buffer) return TRUE;
  if (capacity < pixels.size()) return FALSE;
  std::copy(pixels.begin(), pixels.end(), buffer);
  return TRUE;
}

}  // namespace

TWLAPI BOOL TwlTestGetIconImage(HICON icon, LONG* width, LONG* height, POINT* hotspot, DWORD* pixels,
                                DWORD capacity) {
  auto found = twl::resources::FindIcon(icon);
  if (!found) return FALSE;
  const auto& image = found->image;
  if (width) *width = image.width;
  if (height) *height = image.height;
  if (hotspot) *hotspot = POINT{image.hotspotX, image.hotspotY};
  return CopyPixels(image.pixels, pixels, capacity);
}

TWLAPI BOOL TwlTestGetBitmapImage(HBITMAP bitmap, LONG* width, LONG* height, WORD* bitCount, DWORD* pixels,
                                  DWORD capacity) {
  auto found = twl::resources::FindBitmap(bitmap);
  if (!found) return FALSE;
  const auto& dib = found->dib;
  if (width) *width = dib.width;
  if (height) *height = dib.height;
  if (bitCount) *bitCount = dib.bitCount;
  std::vector<uint32_t> colors;
  colors.reserve(static_cast<size_t>(dib.width) * dib.height);
  for (int32_t y = 0; y < dib.height; ++y) {
    for (int32_t x = 0; x < dib.width; ++x) colors.push_back(dib.Pixel(x, y) & 0xFFFFFF);
  }
  return CopyPixels(colors, pixels, capacity);
}
