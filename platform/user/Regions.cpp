// The region calls over HRGN handles, and window shapes (SetWindowRgn).
#include <atomic>
#include <cstring>
#include <mutex>

#include "RegionHandles.h"
#include "ScreenEvents.h"
#include "WindowManager.h"
#include "platform/kernel/IdTable.h"
#include "twlwin/errors.h"
#include "twlwin/regions.h"
#include "twlwin/testing_gdi.h"

namespace twl::user {

namespace {

struct RegionObject {
  std::mutex lock;
  Region region;
};

IdTable<RegionObject>& Table() {
  static auto* table = new IdTable<RegionObject>;
  return *table;
}

std::shared_ptr<RegionObject> Find(HRGN handle) {
  auto object = Table().Find(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handle)));
  if (!object) SetLastError(ERROR_INVALID_HANDLE);
  return object;
}

// Largest RGNDATA accepted: plenty for any window shape built from a mask.
constexpr DWORD kMaxRegionRects = 1u << 20;
// A lower limit that tests set to make large region data fail.
std::atomic<DWORD> testRectLimit{0xFFFFFFFF};

}  // namespace

int Complexity(const Region& region) {
  if (region.Empty()) return NULLREGION;
  return region.RectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

HRGN NewRegionHandle(Region region) {
  auto object = std::make_shared<RegionObject>();
  object->region = std::move(region);
  uint32_t id = Table().Insert(std::move(object));
  if (!id) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return reinterpret_cast<HRGN>(static_cast<uintptr_t>(id));
}

std::optional<Region> CopyRegion(HRGN handle) {
  auto object = Find(handle);
  if (!object) return std::nullopt;
  std::lock_guard guard(object->lock);
  return object->region;
}

int ReplaceRegion(HRGN handle, const Region& region) {
  auto object = Find(handle);
  if (!object) return ERROR;
  std::lock_guard guard(object->lock);
  object->region = region;
  return Complexity(region);
}

std::optional<Region> TakeRegion(HRGN handle) {
  auto object = Table().Remove(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(handle)));
  if (!object) {
    SetLastError(ERROR_INVALID_HANDLE);
    return std::nullopt;
  }
  std::lock_guard guard(object->lock);
  return std::move(object->region);
}

}  // namespace twl::user

using namespace twl::user;
using twl::Region;

TWLAPI HRGN CreateRectRgn(int left, int top, int right, int bottom) {
  // Like Windows, a rectangle given corner-swapped is normalised.
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  return NewRegionHandle(Region(RECT{left, top, right, bottom}));
}

TWLAPI HRGN CreateRectRgnIndirect(const RECT* rect) {
  if (!rect) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom);
}

TWLAPI HRGN ExtCreateRegion(const XFORM* xform, DWORD size, const RGNDATA* data) {
  if (xform || !data || size < sizeof(RGNDATAHEADER) || data->rdh.dwSize != sizeof(RGNDATAHEADER) ||
      data->rdh.iType != RDH_RECTANGLES || data->rdh.nCount > kMaxRegionRects || data->rdh.nCount > testRectLimit ||
      size - sizeof(RGNDATAHEADER) < static_cast<size_t>(data->rdh.nCount) * sizeof(RECT)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  std::vector<RECT> rects(data->rdh.nCount);
  if (!rects.empty()) std::memcpy(rects.data(), data->Buffer, rects.size() * sizeof(RECT));
  return NewRegionHandle(Region::FromRects(rects));
}

TWLAPI void TwlTestLimitExtCreateRegion(DWORD maxRects) { testRectLimit = maxRects; }

TWLAPI int CombineRgn(HRGN destination, HRGN source1, HRGN source2, int mode) {
  auto a = CopyRegion(source1);
  if (!a) return ERROR;
  if (mode == RGN_COPY) return ReplaceRegion(destination, *a);
  auto b = CopyRegion(source2);
  if (!b) return ERROR;
  Region::Op op;
  switch (mode) {
    case RGN_AND: op = Region::Op::And; break;
    case RGN_OR: op = Region::Op::Or; break;
    case RGN_XOR: op = Region::Op::Xor; break;
    case RGN_DIFF: op = Region::Op::Diff; break;
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return ERROR;
  }
  return ReplaceRegion(destination, Region::Combine(*a, *b, op));
}

TWLAPI BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom) {
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  return ReplaceRegion(region, Region(RECT{left, top, right, bottom})) != ERROR;
}

TWLAPI int OffsetRgn(HRGN handle, int dx, int dy) {
  auto object = Find(handle);
  if (!object) return ERROR;
  std::lock_guard guard(object->lock);
  object->region.Offset(dx, dy);
  return Complexity(object->region);
}

TWLAPI int GetRgnBox(HRGN handle, LPRECT rect) {
  auto region = CopyRegion(handle);
  if (!region || !rect) return ERROR;
  *rect = region->Bounds();
  return Complexity(*region);
}

TWLAPI BOOL PtInRegion(HRGN handle, int x, int y) {
  auto region = CopyRegion(handle);
  return region && region->Contains(x, y);
}

TWLAPI BOOL RectInRegion(HRGN handle, const RECT* rect) {
  auto region = CopyRegion(handle);
  return region && rect && region->Intersects(*rect);
}

TWLAPI BOOL EqualRgn(HRGN handle1, HRGN handle2) {
  auto a = CopyRegion(handle1);
  auto b = CopyRegion(handle2);
  return a && b && *a == *b;
}

TWLAPI DWORD GetRegionData(HRGN handle, DWORD size, LPRGNDATA data) {
  auto region = CopyRegion(handle);
  if (!region) return 0;
  std::vector<RECT> rects = region->Rects();
  DWORD needed = static_cast<DWORD>(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
  if (!data || size < needed) return needed;
  data->rdh.dwSize = sizeof(RGNDATAHEADER);
  data->rdh.iType = RDH_RECTANGLES;
  data->rdh.nCount = static_cast<DWORD>(rects.size());
  data->rdh.nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
  data->rdh.rcBound = region->Bounds();
  if (!rects.empty()) std::memcpy(data->Buffer, rects.data(), rects.size() * sizeof(RECT));
  return needed;
}

namespace twl::user {

bool DeleteRegionHandle(HGDIOBJ object) {
  if (!object) return false;
  return Table().Remove(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(object))) != nullptr;
}

}  // namespace twl::user

TWLAPI int SetWindowRgn(HWND window, HRGN region, BOOL redraw) {
  {
    Guard guard(Lock());
    if (!FindLocked(window)) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return 0;
    }
  }
  std::optional<Region> shape;
  if (region) {
    // The window owns the region from now on; the caller's handle is gone.
    shape = TakeRegion(region);
    if (!shape) return 0;
  }
  ScreenChanges changes;
  {
    Guard guard(Lock());
    Window* w = FindLocked(window);
    if (!w) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return 0;
    }
    w->shape = std::move(shape);
    changes.AddLocked(TWL_SCREEN_RESHAPED, *w, ScreenRectLocked(*w));
  }
  changes.Tell();
  if (redraw) InvalidateRect(window, nullptr, TRUE);
  return 1;
}

TWLAPI int GetWindowRgn(HWND window, HRGN region) {
  std::optional<Region> shape;
  {
    Guard guard(Lock());
    Window* w = FindLocked(window);
    if (!w) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return ERROR;
    }
    shape = w->shape;
  }
  if (!shape) return ERROR;  // no shape set: the window is its rectangle
  return ReplaceRegion(region, *shape);
}
