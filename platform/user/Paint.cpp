// Invalid regions and the paint cycle. Invalidations add to a window's
// update region; the thread gets one WM_PAINT while the region is not
// empty, and BeginPaint empties it.
#include "PaintDevice.h"
#include "RegionHandles.h"
#include "WindowManager.h"
#include "twlwin/errors.h"
#include "twlwin/regions.h"

namespace twl::user {

namespace {

// Adds to (add) or takes from a window's update region; all windows of the
// process when window is null.
BOOL ChangeUpdate(HWND window, const Region* area, bool add, bool erase) {
  Guard guard(Lock());
  auto change = [&](Window& w) {
    Region client(ClientRectLocked(w));
    Region part = area ? Region::Combine(*area, client, Region::Op::And) : client;
    if (add) {
      w.update |= part;
      if (erase) w.eraseNeeded = true;
    } else {
      w.update -= part;
      if (w.update.Empty()) w.eraseNeeded = false;
    }
    if (ThreadQueue* queue = QueueLocked(w.threadId)) queue->wake.notify_all();
  };
  if (!window) {
    for (auto& [id, w] : Model().windows) change(*w);
    return TRUE;
  }
  Window* w = FindLocked(window);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  change(*w);
  return TRUE;
}

}  // namespace

}  // namespace twl::user

using namespace twl::user;
using twl::Region;

TWLAPI BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase) {
  if (!rect) return ChangeUpdate(window, nullptr, true, erase);
  Region area(*rect);
  return ChangeUpdate(window, &area, true, erase);
}

TWLAPI BOOL InvalidateRgn(HWND window, HRGN region, BOOL erase) {
  if (!region) return ChangeUpdate(window, nullptr, true, erase);
  auto area = CopyRegion(region);
  if (!area) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return ChangeUpdate(window, &*area, true, erase);
}

TWLAPI BOOL ValidateRect(HWND window, const RECT* rect) {
  if (!rect) return ChangeUpdate(window, nullptr, false, false);
  Region area(*rect);
  return ChangeUpdate(window, &area, false, false);
}

TWLAPI BOOL GetUpdateRect(HWND window, LPRECT rect, BOOL) {
  Guard guard(Lock());
  Window* w = FindLocked(window);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (rect) *rect = w->update.Bounds();
  return !w->update.Empty();
}

TWLAPI int GetUpdateRgn(HWND window, HRGN region, BOOL) {
  Region update;
  {
    Guard guard(Lock());
    Window* w = FindLocked(window);
    if (!w) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return ERROR;
    }
    update = w->update;
  }
  return ReplaceRegion(region, update);
}

TWLAPI BOOL UpdateWindow(HWND window) {
  bool needsPaint = false;
  {
    Guard guard(Lock());
    Window* w = FindLocked(window);
    if (!w) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return FALSE;
    }
    needsPaint = !w->update.Empty() && IsVisibleLocked(*w);
  }
  if (needsPaint) SendMessageA(window, WM_PAINT, 0, 0);
  return TRUE;
}

TWLAPI HDC BeginPaint(HWND window, LPPAINTSTRUCT paint) {
  if (!paint) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  Region update;
  bool erase = false;
  {
    Guard guard(Lock());
    Window* w = FindLocked(window);
    if (!w) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return nullptr;
    }
    update = w->update;
    erase = w->eraseNeeded;
    w->update = Region();
    w->eraseNeeded = false;
  }
  HDC dc = OpenPaintDevice(window, update);
  *paint = PAINTSTRUCT{};
  paint->hdc = dc;
  paint->rcPaint = update.Bounds();
  paint->fErase = erase && !SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  return dc;
}

TWLAPI BOOL EndPaint(HWND window, const PAINTSTRUCT* paint) {
  if (paint) ClosePaintDevice(window, paint->hdc);
  return TRUE;
}
