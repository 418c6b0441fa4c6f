// Device contexts behind HDC (kept in the GDI object table): drawing state (selected objects, colours,
// modes, position, origin, clip) over one bitmap of pixels. A memory DC
// draws into the bitmap selected into it; a window DC into the window's
// pixel buffer. Use a DC from one thread at a time; the table is
// thread-safe.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "Bitmap.h"
#include "Objects.h"
#include "platform/user/Region.h"
#include "twlwin/gdi.h"

namespace twl::gdi {

class Font;

class DeviceContext final : public GdiObject {
 public:
  DWORD Type() const override { return isMemory ? OBJ_MEMDC : OBJ_DC; }

  bool isMemory = true;
  // Selected objects by handle, and the objects themselves, which stay
  // alive while selected even when their handle is deleted.
  HGDIOBJ bitmap = nullptr;
  std::shared_ptr<Bitmap> surface;
  HGDIOBJ brush = nullptr;
  std::shared_ptr<Brush> brushObject;
  HGDIOBJ pen = nullptr;
  std::shared_ptr<Pen> penObject;
  HGDIOBJ font = nullptr;
  std::shared_ptr<Font> fontObject;
  HGDIOBJ palette = nullptr;  // null: the default palette
  bool paletteInBackground = false;
  COLORREF textColour = RGB(0, 0, 0);
  COLORREF bkColour = RGB(255, 255, 255);
  int bkMode = OPAQUE;
  int rop2 = R2_COPYPEN;
  UINT textAlign = TA_LEFT | TA_TOP;
  POINT position{0, 0};  // logical
  POINT origin{0, 0};    // device position of logical 0,0
  // The device area this DC may draw on (a window DC: its client or window
  // rectangle in the buffer) and what IntersectClipRect narrowed it to.
  RECT baseClip{0, 0, 0, 0};
  RECT clip{0, 0, 0, 0};
  // A window DC of a shaped window draws only inside the shape (device
  // coordinates): pixels outside it are not the window's.
  std::optional<Region> mask;
  // A window DC: the lock of the window's buffer (see WindowSurfaces.h)
  // and the window that hears of what is drawn. Null and 0 otherwise.
  std::shared_ptr<std::mutex> pixelLock;
  uint32_t window = 0;
  // Called when the DC is released or deleted (window DCs tell their window).
  std::function<void()> onRelease;

  // The device rectangle drawing may touch now: the clip inside the surface.
  RECT DrawableArea() const;
  // A logical rectangle in device coordinates, cut to DrawableArea.
  RECT ToDeviceClipped(const RECT& logical) const;
  // Kept within +-2^30 so that arithmetic on device points cannot overflow.
  POINT ToDevice(int x, int y) const;
  // Whether drawing may touch the device pixel: inside DrawableArea and the
  // mask.
  bool MayDraw(int x, int y) const;
  // Calls fn(y, left, right) for each row span of `area` (device
  // coordinates, inside DrawableArea) that drawing may touch.
  template <class Fn>
  void ForEachSpan(const RECT& area, Fn&& fn) const {
    if (!mask) {
      for (int y = area.top; y < area.bottom; ++y) fn(y, static_cast<int>(area.left), static_cast<int>(area.right));
      return;
    }
    for (const RECT& r : Region::Combine(*mask, Region(area), Region::Op::And).Rects())
      for (int y = r.top; y < r.bottom; ++y) fn(y, static_cast<int>(r.left), static_cast<int>(r.right));
  }
};

// Held by a drawing call while it reads or writes a DC's pixels. For a
// window DC it holds the buffer's lock, and when it ends the window hears
// that `changed` (device coordinates; empty for a call that only reads) may
// have new pixels. Nothing for other DCs.
class PixelAccess {
 public:
  explicit PixelAccess(const DeviceContext& dc, const RECT& changed = RECT{0, 0, 0, 0});
  ~PixelAccess();
  PixelAccess(const PixelAccess&) = delete;
  PixelAccess& operator=(const PixelAccess&) = delete;

 private:
  std::unique_lock<std::mutex> hold_;
  uint32_t window_ = 0;
  RECT changed_;
};

HDC InsertDc(std::shared_ptr<DeviceContext> dc);
// Null, with ERROR_INVALID_HANDLE set, for a handle that is not a DC.
std::shared_ptr<DeviceContext> FindDc(HDC dc);
std::shared_ptr<DeviceContext> RemoveDc(HDC dc);

// A new DC over `surface` with the default objects selected and the whole
// of `area` (device coordinates) to draw on.
std::shared_ptr<DeviceContext> MakeSurfaceDc(std::shared_ptr<Bitmap> surface, RECT area, POINT origin);

// Puts the selected objects back to their defaults, so that objects the
// caller selected are no longer held, and frees the bitmap.
void DeselectAll(DeviceContext& dc);

}  // namespace twl::gdi
