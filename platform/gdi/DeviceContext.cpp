#include "DeviceContext.h"

#include <algorithm>

#include "Font.h"
#include "StockObjects.h"
#include "platform/user/ScreenEvents.h"
#include "twlwin/errors.h"

namespace twl::gdi {

RECT DeviceContext::DrawableArea() const {
  if (!surface) return RECT{0, 0, 0, 0};
  RECT area{std::max<LONG>(clip.left, 0), std::max<LONG>(clip.top, 0), std::min<LONG>(clip.right, surface->Width()),
            std::min<LONG>(clip.bottom, surface->Height())};
  if (area.right < area.left) area.right = area.left;
  if (area.bottom < area.top) area.bottom = area.top;
  return area;
}

POINT DeviceContext::ToDevice(int x, int y) const {
  static constexpr int64_t kLimit = 1 << 30;
  auto shift = [](int64_t v, int64_t by) { return static_cast<LONG>(std::clamp(v + by, -kLimit, kLimit)); };
  return POINT{shift(x, origin.x), shift(y, origin.y)};
}

RECT DeviceContext::ToDeviceClipped(const RECT& logical) const {
  POINT a = ToDevice(logical.left, logical.top);
  POINT b = ToDevice(logical.right, logical.bottom);
  RECT area = DrawableArea();
  RECT out{std::max<LONG>(a.x, area.left), std::max<LONG>(a.y, area.top), std::min<LONG>(b.x, area.right),
           std::min<LONG>(b.y, area.bottom)};
  if (out.right < out.left) out.right = out.left;
  if (out.bottom < out.top) out.bottom = out.top;
  return out;
}

bool DeviceContext::MayDraw(int x, int y) const {
  RECT area = DrawableArea();
  if (x < area.left || x >= area.right || y < area.top || y >= area.bottom) return false;
  return !mask || mask->Contains(x, y);
}

PixelAccess::PixelAccess(const DeviceContext& dc, const RECT& changed) : window_(dc.window), changed_(changed) {
  if (dc.pixelLock) hold_ = std::unique_lock(*dc.pixelLock);
}

PixelAccess::~PixelAccess() {
  if (hold_.owns_lock()) hold_.unlock();
  if (window_ && changed_.right > changed_.left && changed_.bottom > changed_.top)
    user::TellPixelsChanged(window_, changed_);
}

HDC InsertDc(std::shared_ptr<DeviceContext> dc) { return static_cast<HDC>(InsertObject(std::move(dc))); }

std::shared_ptr<DeviceContext> FindDc(HDC handle) {
  auto dc = FindObjectAs<DeviceContext>(handle);
  if (!dc) SetLastError(ERROR_INVALID_HANDLE);
  return dc;
}

std::shared_ptr<DeviceContext> RemoveDc(HDC handle) {
  if (!FindObjectAs<DeviceContext>(handle)) return nullptr;
  return std::static_pointer_cast<DeviceContext>(RemoveObject(handle));
}

namespace {

template <class T>
void SelectStock(HGDIOBJ& handle, std::shared_ptr<T>& object, int stockIndex) {
  handle = StockObject(stockIndex);
  object = FindObjectAs<T>(handle);
}

}  // namespace

std::shared_ptr<DeviceContext> MakeSurfaceDc(std::shared_ptr<Bitmap> surface, RECT area, POINT origin) {
  auto dc = std::make_shared<DeviceContext>();
  dc->isMemory = false;
  dc->surface = std::move(surface);
  dc->baseClip = area;
  dc->clip = area;
  dc->origin = origin;
  SelectStock(dc->brush, dc->brushObject, WHITE_BRUSH);
  SelectStock(dc->pen, dc->penObject, BLACK_PEN);
  SelectStock(dc->font, dc->fontObject, SYSTEM_FONT);
  return dc;
}

void DeselectAll(DeviceContext& dc) {
  if (dc.isMemory && dc.surface) dc.surface->selectedIn = nullptr;
  dc.surface.reset();
  dc.bitmap = nullptr;
  dc.brushObject.reset();
  dc.penObject.reset();
  dc.fontObject.reset();
}

}  // namespace twl::gdi
