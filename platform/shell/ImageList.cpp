#include "ImageList.h"

#include <mutex>

#include "platform/gdi/DeviceContext.h"
#include "platform/kernel/IdTable.h"
#include "twlwin/errors.h"

namespace twl::shell {
namespace {

constexpr int kMaxSide = 256;
// A list this long is a runaway loop, not a program's icons.
constexpr size_t kMaxImages = 1u << 20;

struct ImageList {
  std::mutex lock;
  int width = 0;
  int height = 0;
  bool permanent = false;
  std::vector<IconImage> images;
};

IdTable<ImageList>& Lists() {
  static auto* table = new IdTable<ImageList>;
  return *table;
}

uint32_t IdOf(HIMAGELIST list) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(list)); }

std::shared_ptr<ImageList> Find(HIMAGELIST handle) {
  auto list = Lists().Find(IdOf(handle));
  if (!list) SetLastError(ERROR_INVALID_HANDLE);
  return list;
}

HIMAGELIST Insert(std::shared_ptr<ImageList> list) {
  uint32_t id = Lists().Insert(std::move(list));
  if (!id) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return reinterpret_cast<HIMAGELIST>(static_cast<uintptr_t>(id));
}

// The image blended towards the highlight colour: what a selected or
// focused item shows.
IconImage Highlighted(const IconImage& image, int percent) {
  IconImage out = image;
  COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  uint32_t target[3] = {GetRValue(highlight), GetGValue(highlight), GetBValue(highlight)};
  for (uint32_t& pixel : out.colour) {
    if ((pixel >> 24) == 0 && image.hasAlpha) continue;
    uint32_t channels[3] = {(pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF};
    for (int c = 0; c < 3; ++c) channels[c] = (channels[c] * (100 - percent) + target[c] * percent) / 100;
    pixel = (pixel & 0xFF000000u) | (channels[0] << 16) | (channels[1] << 8) | channels[2];
  }
  return out;
}

}  // namespace

HIMAGELIST CreatePermanentImageList(int width, int height, std::vector<IconImage> images) {
  auto list = std::make_shared<ImageList>();
  list->width = width;
  list->height = height;
  list->permanent = true;
  for (IconImage& image : images) list->images.push_back(ScaleIconImage(image, width, height));
  return Insert(std::move(list));
}

}  // namespace twl::shell

using namespace twl;
using namespace twl::shell;

TWLAPI void InitCommonControls() {}

TWLAPI HIMAGELIST ImageList_Create(int width, int height, UINT flags, int initial, int grow) {
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto list = std::make_shared<ImageList>();
  list->width = width;
  list->height = height;
  if (initial > 0) list->images.reserve(std::min<size_t>(static_cast<size_t>(initial), 1024));
  return Insert(std::move(list));
}

TWLAPI BOOL ImageList_Destroy(HIMAGELIST handle) {
  auto list = Find(handle);
  if (!list) return FALSE;
  if (list->permanent) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  Lists().Remove(IdOf(handle));
  return TRUE;
}

TWLAPI int ImageList_GetImageCount(HIMAGELIST handle) {
  auto list = Find(handle);
  if (!list) return 0;
  std::lock_guard guard(list->lock);
  return static_cast<int>(list->images.size());
}

TWLAPI BOOL ImageList_GetIconSize(HIMAGELIST handle, int* width, int* height) {
  auto list = Find(handle);
  if (!list || !width || !height) return FALSE;
  *width = list->width;
  *height = list->height;
  return TRUE;
}

TWLAPI int ImageList_ReplaceIcon(HIMAGELIST handle, int index, HICON icon) {
  auto list = Find(handle);
  if (!list) return -1;
  auto image = FindIconImage(icon);
  if (!image) {
    SetLastError(ERROR_INVALID_HANDLE);
    return -1;
  }
  IconImage scaled = ScaleIconImage(*image, list->width, list->height);
  std::lock_guard guard(list->lock);
  if (index == -1) {
    if (list->permanent || list->images.size() >= kMaxImages) {
      SetLastError(list->permanent ? ERROR_ACCESS_DENIED : ERROR_NOT_ENOUGH_MEMORY);
      return -1;
    }
    list->images.push_back(std::move(scaled));
    return static_cast<int>(list->images.size() - 1);
  }
  if (list->permanent || index < 0 || static_cast<size_t>(index) >= list->images.size()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
  }
  list->images[index] = std::move(scaled);
  return index;
}

TWLAPI HICON ImageList_GetIcon(HIMAGELIST handle, int index, UINT flags) {
  auto list = Find(handle);
  if (!list) return nullptr;
  IconImage image;
  {
    std::lock_guard guard(list->lock);
    if (index < 0 || static_cast<size_t>(index) >= list->images.size()) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
    }
    image = list->images[index];
  }
  return CreateIconFromImage(std::move(image), false);
}

TWLAPI BOOL ImageList_Draw(HIMAGELIST handle, int index, HDC dc, int x, int y, UINT style) {
  auto list = Find(handle);
  if (!list) return FALSE;
  IconImage image;
  {
    std::lock_guard guard(list->lock);
    if (index < 0 || static_cast<size_t>(index) >= list->images.size()) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    image = list->images[index];
  }
  if (style & ILD_MASK) return DrawIconImage(dc, image, x, y, 0, 0, DI_MASK) ? TRUE : FALSE;
  if (style & ILD_BLEND50) image = Highlighted(image, 50);
  else if (style & ILD_BLEND25) image = Highlighted(image, 25);
  return DrawIconImage(dc, image, x, y, 0, 0, DI_NORMAL) ? TRUE : FALSE;
}
