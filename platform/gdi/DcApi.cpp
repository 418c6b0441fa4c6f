// Device contexts and the objects selected into them.
#include <algorithm>
#include <utility>
#include <cstring>

#include "DeviceContext.h"
#include "Font.h"
#include "StockObjects.h"
#include "platform/user/RegionHandles.h"
#include "twlwin/errors.h"
#include "twlwin/gdi.h"

using namespace twl::gdi;

namespace {

RECT WholeBitmap(const Bitmap& bitmap) { return RECT{0, 0, bitmap.Width(), bitmap.Height()}; }

void SelectBitmapInto(DeviceContext& dc, HGDIOBJ handle, std::shared_ptr<Bitmap> bitmap) {
  if (dc.surface) dc.surface->selectedIn = nullptr;
  if (!bitmap->stock) bitmap->selectedIn = &dc;
  dc.bitmap = handle;
  dc.surface = std::move(bitmap);
  // Selecting a bitmap starts a memory DC's drawing area afresh.
  dc.baseClip = WholeBitmap(*dc.surface);
  dc.clip = dc.baseClip;
}

}  // namespace

TWLAPI HGDIOBJ GetStockObject(int object) {
  HGDIOBJ handle = StockObject(object);
  if (!handle) SetLastError(ERROR_INVALID_PARAMETER);
  return handle;
}

TWLAPI HDC CreateCompatibleDC(HDC model) {
  if (model && !FindDc(model)) return nullptr;
  auto dc = std::make_shared<DeviceContext>();
  dc->isMemory = true;
  auto bitmap = FindObjectAs<Bitmap>(StockBitmap());
  if (!bitmap) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  SelectBitmapInto(*dc, StockBitmap(), std::move(bitmap));
  dc->brush = StockObject(WHITE_BRUSH);
  dc->brushObject = FindObjectAs<Brush>(dc->brush);
  dc->pen = StockObject(BLACK_PEN);
  dc->penObject = FindObjectAs<Pen>(dc->pen);
  dc->font = StockObject(SYSTEM_FONT);
  dc->fontObject = FindObjectAs<Font>(dc->font);
  HDC handle = InsertDc(dc);
  if (!handle) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return handle;
}

TWLAPI BOOL DeleteDC(HDC handle) {
  auto dc = FindDc(handle);
  if (!dc) return FALSE;
  if (!dc->isMemory) {
    // Window DCs go back through ReleaseDC, which tells their window.
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  RemoveDc(handle);
  DeselectAll(*dc);
  return TRUE;
}

TWLAPI HGDIOBJ SelectObject(HDC handle, HGDIOBJ object) {
  auto dc = FindDc(handle);
  if (!dc) return nullptr;
  auto found = FindObject(object);
  if (!found) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  HGDIOBJ previous = nullptr;
  switch (found->Type()) {
    case OBJ_BITMAP: {
      auto bitmap = std::static_pointer_cast<Bitmap>(found);
      // A bitmap lives in one memory DC at a time; a window DC has no bitmap.
      if (!dc->isMemory || (bitmap->selectedIn && bitmap->selectedIn != dc.get())) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
      }
      previous = dc->bitmap;
      SelectBitmapInto(*dc, object, std::move(bitmap));
      return previous;
    }
    case OBJ_BRUSH:
      previous = dc->brush;
      dc->brush = object;
      dc->brushObject = std::static_pointer_cast<Brush>(found);
      return previous;
    case OBJ_PEN:
      previous = dc->pen;
      dc->pen = object;
      dc->penObject = std::static_pointer_cast<Pen>(found);
      return previous;
    case OBJ_FONT:
      previous = dc->font;
      dc->font = object;
      dc->fontObject = std::static_pointer_cast<Font>(found);
      return previous;
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
  }
}

TWLAPI BOOL DeleteObject(HGDIOBJ object) {
  auto found = FindObject(object);
  if (!found) {
    // Regions live in the window manager's table.
    if (twl::user::DeleteRegionHandle(object)) return TRUE;
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (found->stock) return TRUE;
  DWORD type = found->Type();
  if (type == OBJ_DC || type == OBJ_MEMDC) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  // A bitmap still selected into a DC cannot go; pens, brushes and fonts
  // can, and the DC keeps drawing with them until something else is
  // selected.
  if (type == OBJ_BITMAP && static_cast<Bitmap&>(*found).selectedIn) {
    SetLastError(ERROR_BUSY);
    return FALSE;
  }
  RemoveObject(object);
  return TRUE;
}

TWLAPI DWORD GetObjectType(HGDIOBJ object) {
  auto found = FindObject(object);
  if (!found) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return found->Type();
}

TWLAPI HGDIOBJ GetCurrentObject(HDC handle, UINT type) {
  auto dc = FindDc(handle);
  if (!dc) return nullptr;
  switch (type) {
    case OBJ_BITMAP:
      return dc->bitmap;
    case OBJ_BRUSH:
      return dc->brush;
    case OBJ_PEN:
      return dc->pen;
    case OBJ_FONT:
      return dc->font;
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
  }
}

TWLAPI COLORREF SetTextColor(HDC handle, COLORREF colour) {
  auto dc = FindDc(handle);
  if (!dc) return CLR_INVALID;
  return std::exchange(dc->textColour, colour & 0x00FFFFFF);
}

TWLAPI COLORREF GetTextColor(HDC handle) {
  auto dc = FindDc(handle);
  return dc ? dc->textColour : CLR_INVALID;
}

TWLAPI COLORREF SetBkColor(HDC handle, COLORREF colour) {
  auto dc = FindDc(handle);
  if (!dc) return CLR_INVALID;
  return std::exchange(dc->bkColour, colour & 0x00FFFFFF);
}

TWLAPI COLORREF GetBkColor(HDC handle) {
  auto dc = FindDc(handle);
  return dc ? dc->bkColour : CLR_INVALID;
}

TWLAPI int SetBkMode(HDC handle, int mode) {
  auto dc = FindDc(handle);
  if (!dc) return 0;
  if (mode != TRANSPARENT && mode != OPAQUE) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return std::exchange(dc->bkMode, mode);
}

TWLAPI int GetBkMode(HDC handle) {
  auto dc = FindDc(handle);
  return dc ? dc->bkMode : 0;
}

TWLAPI int SetROP2(HDC handle, int mode) {
  auto dc = FindDc(handle);
  if (!dc) return 0;
  if (mode < R2_BLACK || mode > R2_WHITE) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return std::exchange(dc->rop2, mode);
}

TWLAPI int GetROP2(HDC handle) {
  auto dc = FindDc(handle);
  return dc ? dc->rop2 : 0;
}

TWLAPI UINT SetTextAlign(HDC handle, UINT align) {
  auto dc = FindDc(handle);
  if (!dc) return GDI_ERROR;
  return std::exchange(dc->textAlign, align);
}

TWLAPI UINT GetTextAlign(HDC handle) {
  auto dc = FindDc(handle);
  return dc ? dc->textAlign : GDI_ERROR;
}

TWLAPI BOOL SetViewportOrgEx(HDC handle, int x, int y, LPPOINT previous) {
  auto dc = FindDc(handle);
  if (!dc) return FALSE;
  // The origin is kept relative to the DC's own area, as a window DC's
  // logical 0,0 is its client corner.
  POINT base{dc->baseClip.left, dc->baseClip.top};
  if (previous) *previous = POINT{dc->origin.x - base.x, dc->origin.y - base.y};
  dc->origin = POINT{base.x + x, base.y + y};
  return TRUE;
}

TWLAPI BOOL GetViewportOrgEx(HDC handle, LPPOINT origin) {
  auto dc = FindDc(handle);
  if (!dc || !origin) return FALSE;
  *origin = POINT{dc->origin.x - dc->baseClip.left, dc->origin.y - dc->baseClip.top};
  return TRUE;
}

TWLAPI int IntersectClipRect(HDC handle, int left, int top, int right, int bottom) {
  auto dc = FindDc(handle);
  if (!dc) return 0;
  POINT a = dc->ToDevice(left, top);
  POINT b = dc->ToDevice(right, bottom);
  RECT& c = dc->clip;
  c.left = std::max<LONG>(c.left, a.x);
  c.top = std::max<LONG>(c.top, a.y);
  c.right = std::max<LONG>(c.left, std::min<LONG>(c.right, b.x));
  c.bottom = std::max<LONG>(c.top, std::min<LONG>(c.bottom, b.y));
  return c.right > c.left && c.bottom > c.top ? SIMPLEREGION : NULLREGION;
}

TWLAPI int GetClipBox(HDC handle, LPRECT rect) {
  auto dc = FindDc(handle);
  if (!dc || !rect) return 0;
  RECT area = dc->DrawableArea();
  *rect = RECT{area.left - dc->origin.x, area.top - dc->origin.y, area.right - dc->origin.x,
               area.bottom - dc->origin.y};
  return area.right > area.left && area.bottom > area.top ? SIMPLEREGION : NULLREGION;
}
