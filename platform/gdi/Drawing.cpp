// Brushes, pens and the simple drawing calls: pixels, rectangles, lines.
#include <algorithm>
#include <cstdlib>

#include "DeviceContext.h"
#include "Raster.h"
#include "twlwin/errors.h"
#include "twlwin/gdi.h"

using namespace twl::gdi;

namespace {

// Fills with the pixels held (see PixelAccess); returns what it filled.
RECT Fill(DeviceContext& dc, const RECT& logical, COLORREF colour) {
  RECT r = dc.ToDeviceClipped(logical);
  COLORREF stored = dc.surface->Quantize(colour);
  dc.ForEachSpan(r, [&](int y, int left, int right) {
    for (int x = left; x < right; ++x) dc.surface->SetPixel(x, y, stored);
  });
  return r;
}

// The device rectangle a logical one may touch, for telling the window.
RECT Touched(const DeviceContext& dc, const RECT& logical) { return dc.ToDeviceClipped(logical); }

void PlotWithPen(DeviceContext& dc, int x, int y, COLORREF colour) {
  if (!dc.MayDraw(x, y)) return;
  COLORREF result = dc.rop2 == R2_COPYPEN ? colour : ApplyRop2(dc.rop2, colour, dc.surface->GetPixel(x, y));
  dc.surface->SetPixel(x, y, result);
}

// Bresenham from `from` towards `to` in device coordinates, leaving out the
// end point so that joined lines never draw a pixel twice.
void DrawLine(DeviceContext& dc, POINT from, POINT to, COLORREF colour) {
  long dx = std::labs(static_cast<long>(to.x) - from.x);
  long dy = -std::labs(static_cast<long>(to.y) - from.y);
  int sx = from.x < to.x ? 1 : -1;
  int sy = from.y < to.y ? 1 : -1;
  long error = dx + dy;
  int x = from.x;
  int y = from.y;
  // A line far outside the bitmap is walked only while it can still reach
  // the drawable area; the bound keeps hostile coordinates cheap.
  long steps = std::max(dx, -dy);
  for (long i = 0; i < steps; ++i) {
    PlotWithPen(dc, x, y, colour);
    long twice = 2 * error;
    if (twice >= dy) {
      error += dy;
      x += sx;
    }
    if (twice <= dx) {
      error += dx;
      y += sy;
    }
  }
}

constexpr int kMaxCoordinate = 1 << 27;

bool SaneCoordinates(std::initializer_list<long> values) {
  return std::all_of(values.begin(), values.end(), [](long v) { return v > -kMaxCoordinate && v < kMaxCoordinate; });
}

}  // namespace

TWLAPI HBRUSH CreateSolidBrush(COLORREF colour) {
  return static_cast<HBRUSH>(InsertObject(std::make_shared<Brush>(false, colour)));
}

TWLAPI HPEN CreatePen(int style, int width, COLORREF colour) {
  if (style < PS_SOLID || style > PS_INSIDEFRAME) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return static_cast<HPEN>(InsertObject(std::make_shared<Pen>(style, width, colour)));
}

TWLAPI COLORREF SetPixel(HDC handle, int x, int y, COLORREF colour) {
  auto dc = FindDc(handle);
  if (!dc) return CLR_INVALID;
  POINT p = dc->ToDevice(x, y);
  PixelAccess access(*dc, RECT{p.x, p.y, p.x + 1, p.y + 1});
  if (!dc->MayDraw(p.x, p.y)) return CLR_INVALID;
  COLORREF stored = dc->surface->Quantize(colour);
  dc->surface->SetPixel(p.x, p.y, stored);
  return stored;
}

TWLAPI COLORREF GetPixel(HDC handle, int x, int y) {
  auto dc = FindDc(handle);
  if (!dc) return CLR_INVALID;
  POINT p = dc->ToDevice(x, y);
  PixelAccess access(*dc);
  if (!dc->MayDraw(p.x, p.y)) return CLR_INVALID;
  return dc->surface->GetPixel(p.x, p.y);
}

TWLAPI int FillRect(HDC handle, const RECT* rect, HBRUSH brush) {
  auto dc = FindDc(handle);
  if (!dc) return 0;
  BrushColour colour = ResolveBrush(brush);
  if (!rect || !colour.valid) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (!colour.paints) return 1;
  PixelAccess access(*dc, Touched(*dc, *rect));
  Fill(*dc, *rect, colour.colour);
  return 1;
}

TWLAPI int FrameRect(HDC handle, const RECT* rect, HBRUSH brush) {
  auto dc = FindDc(handle);
  if (!dc) return 0;
  BrushColour colour = ResolveBrush(brush);
  if (!rect || !colour.valid) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const RECT& r = *rect;
  if (!colour.paints || r.right <= r.left || r.bottom <= r.top) return 1;
  PixelAccess access(*dc, Touched(*dc, r));
  Fill(*dc, RECT{r.left, r.top, r.right, r.top + 1}, colour.colour);
  Fill(*dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, colour.colour);
  Fill(*dc, RECT{r.left, r.top, r.left + 1, r.bottom}, colour.colour);
  Fill(*dc, RECT{r.right - 1, r.top, r.right, r.bottom}, colour.colour);
  return 1;
}

TWLAPI BOOL PatBlt(HDC handle, int x, int y, int width, int height, DWORD rop) {
  auto dc = FindDc(handle);
  if (!dc) return FALSE;
  if (RopUsesSource(rop)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  // A negative size extends the other way from x, y.
  RECT logical{std::min(x, x + width), std::min(y, y + height), std::max(x, x + width), std::max(y, y + height)};
  COLORREF pattern = dc->brushObject && !dc->brushObject->hollow ? dc->brushObject->colour : RGB(255, 255, 255);
  RECT r = dc->ToDeviceClipped(logical);
  PixelAccess access(*dc, r);
  dc->ForEachSpan(r, [&](int py, int left, int right) {
    for (int px = left; px < right; ++px)
      dc->surface->SetPixel(px, py, ApplyRop3(rop, pattern, 0, dc->surface->GetPixel(px, py)));
  });
  return TRUE;
}

TWLAPI BOOL InvertRect(HDC handle, const RECT* rect) {
  if (!rect) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return PatBlt(handle, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, DSTINVERT);
}

TWLAPI BOOL MoveToEx(HDC handle, int x, int y, LPPOINT previous) {
  auto dc = FindDc(handle);
  if (!dc) return FALSE;
  if (previous) *previous = dc->position;
  dc->position = POINT{x, y};
  return TRUE;
}

TWLAPI BOOL LineTo(HDC handle, int x, int y) {
  auto dc = FindDc(handle);
  if (!dc) return FALSE;
  POINT from = dc->ToDevice(dc->position.x, dc->position.y);
  POINT to = dc->ToDevice(x, y);
  dc->position = POINT{x, y};
  if (!SaneCoordinates({from.x, from.y, to.x, to.y})) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (dc->penObject && !dc->penObject->IsNull()) {
    RECT bounds{std::min(from.x, to.x), std::min(from.y, to.y), std::max(from.x, to.x) + 1, std::max(from.y, to.y) + 1};
    PixelAccess access(*dc, bounds);
    DrawLine(*dc, from, to, dc->penObject->colour);
  }
  return TRUE;
}

TWLAPI BOOL Rectangle(HDC handle, int left, int top, int right, int bottom) {
  auto dc = FindDc(handle);
  if (!dc) return FALSE;
  if (right < left) std::swap(left, right);
  if (bottom < top) std::swap(top, bottom);
  bool outline = dc->penObject && !dc->penObject->IsNull();
  int inset = outline ? 1 : 0;
  PixelAccess access(*dc, Touched(*dc, RECT{left, top, right, bottom}));
  if (dc->brushObject && !dc->brushObject->hollow)
    Fill(*dc, RECT{left + inset, top + inset, right - inset, bottom - inset}, dc->brushObject->colour);
  if (outline && right > left && bottom > top) {
    COLORREF colour = dc->penObject->colour;
    POINT a = dc->ToDevice(left, top);
    POINT b = dc->ToDevice(right - 1, bottom - 1);
    DrawLine(*dc, a, POINT{b.x, a.y}, colour);
    DrawLine(*dc, POINT{b.x, a.y}, b, colour);
    DrawLine(*dc, b, POINT{a.x, b.y}, colour);
    DrawLine(*dc, POINT{a.x, b.y}, a, colour);
    if (a.x == b.x || a.y == b.y) PlotWithPen(*dc, b.x, b.y, colour);
  }
  return TRUE;
}
