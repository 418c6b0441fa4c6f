// Map pictures: elements laid out as areas of distinct colours.
#include <algorithm>

#include "foundation/bitmaps/BitmapBlitter.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "skins/base/SkinBase.h"
#include "skins/base/SkinPointers.h"
#include "skins/masks/Mask.h"

namespace {

const DWORD* MapRow(const DWORD* map, INT strideBytes, INT y) {
  return reinterpret_cast<const DWORD*>(reinterpret_cast<const BYTE*>(map) + static_cast<size_t>(strideBytes) * y);
}

}  // namespace

INT CSkinBase::FindColorBounds(RECT* bounds, const DWORD* map, INT width, INT height, INT strideBytes, DWORD value) {
  RECT found{width, height, 1, 1};
  bool any = false;
  for (INT y = 0; y < height; ++y) {
    const DWORD* row = MapRow(map, strideBytes, y);
    for (INT x = 0; x < width; ++x) {
      if (row[x] != value) continue;
      if (!any) found = RECT{x, y, x + 1, y + 1};
      any = true;
      found.left = std::min<LONG>(found.left, x);
      found.top = std::min<LONG>(found.top, y);
      found.right = std::max<LONG>(found.right, x + 1);
      found.bottom = std::max<LONG>(found.bottom, y + 1);
    }
  }
  *bounds = found;
  return found.bottom;
}

CMask* CSkinBase::CreateMaskFromMap(const DWORD* map, INT strideBytes, const RECT& rect, DWORD value) {
  const INT width = rect.right - rect.left;
  const INT height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return nullptr;
  MaskPtr mask(NewObject<CMask>());
  mask->Create(width, height);
  bool everyCell = true;
  for (INT y = 0; y < height; ++y) {
    const DWORD* row = MapRow(map, strideBytes, rect.top + y) + rect.left;
    BYTE* bytes = mask->GetBytes() + static_cast<size_t>(y) * width;
    for (INT x = 0; x < width; ++x) {
      bytes[x] = row[x] == value;
      everyCell = everyCell && bytes[x];
    }
  }
  if (everyCell) return nullptr;
  return mask.release();
}

CDIBitmap* CSkinBase::CopyBitmapRect(const CDIBitmap& source, const RECT& rect) {
  const INT width = std::max<INT>(rect.right - rect.left, 0);
  const INT height = std::max<INT>(rect.bottom - rect.top, 0);
  BitmapPtr copy(NewObject<CDIBitmap>());
  copy->Create(static_cast<DWORD>(width), static_cast<DWORD>(height), 0, source.GetFormat(), true);
  CBitmapBlitter blitter;
  blitter.SetFormat(source.GetFormat());
  blitter.Blit(*copy, 0, 0, width, height, source, rect.left, rect.top);
  return copy.release();
}

void CSkinBase::ConvertToMapFormat(CDIBitmap& picture) {
  CPixelFormat format;
  format.SetMasks(32, 0xFF, 0xFF00, 0xFF0000);
  picture.SetColorKeyFlag(false);
  picture.ChangeFormat(format, nullptr, 1, 0);
}

DWORD CSkinBase::MapValueAt(const CDIBitmap& map, POINT point) {
  const size_t stride = static_cast<size_t>(map.GetBytesPerRow()) + map.GetRowPadding();
  return reinterpret_cast<const DWORD*>(map.GetPixels() + stride * point.y)[point.x];
}

CMask* CSkinBase::CreateVisibilityMask(const CDIBitmap& map, const RECT& rect, DWORD transparent) {
  const INT stride = static_cast<INT>(map.GetBytesPerRow() + map.GetRowPadding());
  CMask* mask = CreateMaskFromMap(reinterpret_cast<const DWORD*>(map.GetPixels()), stride, rect, transparent);
  if (mask) mask->Invert();
  return mask;
}
