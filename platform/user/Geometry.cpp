// Window and client rectangles, coordinate conversions and the rectangle
// helpers. A window's rectangle is kept in its parent's client coordinates.
#include <algorithm>

#include "WindowRecords.h"
#include "WindowManager.h"
#include "twlwin/errors.h"
#include "twlwin/regions.h"

namespace twl::user {

Insets FrameInsets(DWORD style, DWORD exStyle) {
  int border = 0;
  if (style & WS_THICKFRAME)
    border = kSizingFrame;
  else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME))
    border = kDialogFrame;
  else if (style & WS_BORDER)
    border = kBorder;
  if (exStyle & WS_EX_CLIENTEDGE) border += kEdge;
  if (exStyle & WS_EX_STATICEDGE) border += kBorder;
  int caption = 0;
  if ((style & WS_CAPTION) == WS_CAPTION) caption = (exStyle & WS_EX_TOOLWINDOW) ? kSmallCaption : kCaption;
  return Insets{border, border + caption, border, border};
}

RECT ScreenRectLocked(const Window& w) {
  RECT r = w.rect;
  if (Window* parent = FindLocked(w.parent)) {
    RECT client = ClientScreenRectLocked(*parent);
    OffsetRect(&r, client.left, client.top);
  }
  return r;
}

RECT ClientScreenRectLocked(const Window& w) {
  RECT r = ScreenRectLocked(w);
  if (w.style & WS_MINIMIZE) return RECT{r.left, r.top, r.left, r.top};
  Insets in = FrameInsets(w.style, w.exStyle);
  RECT c{r.left + in.left, r.top + in.top, r.right - in.right, r.bottom - in.bottom};
  c.right = std::max(c.right, c.left);
  c.bottom = std::max(c.bottom, c.top);
  return c;
}

RECT ClientRectLocked(const Window& w) {
  RECT c = ClientScreenRectLocked(w);
  return RECT{0, 0, c.right - c.left, c.bottom - c.top};
}

bool HitsShapeLocked(const Window& w, POINT screen) {
  RECT r = ScreenRectLocked(w);
  if (!PtInRect(&r, screen)) return false;
  return !w.shape || w.shape->Contains(screen.x - r.left, screen.y - r.top);
}

namespace {

// The screen offset of a window's client area; the desktop's is 0,0.
bool ClientOrigin(HWND window, POINT* origin) {
  if (!window || IdOf(window) == kDesktopId) {
    *origin = POINT{0, 0};
    return true;
  }
  Guard guard(Lock());
  Window* w = FindLocked(window);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return false;
  }
  RECT c = ClientScreenRectLocked(*w);
  *origin = POINT{c.left, c.top};
  return true;
}

}  // namespace

}  // namespace twl::user

using namespace twl::user;

TWLAPI BOOL GetWindowRect(HWND window, LPRECT rect) {
  if (!rect) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  {
    Guard guard(Lock());
    if (IdOf(window) == kDesktopId) {
      *rect = RECT{0, 0, Model().screen.width, Model().screen.height};
      return TRUE;
    }
    if (Window* w = FindLocked(window)) {
      *rect = ScreenRectLocked(*w);
      return TRUE;
    }
  }
  if (auto foreign = FindForeign(IdOf(window))) {
    *rect = foreign->rect;
    return TRUE;
  }
  SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return FALSE;
}

TWLAPI BOOL GetClientRect(HWND window, LPRECT rect) {
  if (!rect) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  Guard guard(Lock());
  if (IdOf(window) == kDesktopId) {
    *rect = RECT{0, 0, Model().screen.width, Model().screen.height};
    return TRUE;
  }
  Window* w = FindLocked(window);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  *rect = ClientRectLocked(*w);
  return TRUE;
}

TWLAPI BOOL ClientToScreen(HWND window, LPPOINT point) {
  POINT origin;
  if (!point || !ClientOrigin(window, &origin)) return FALSE;
  point->x += origin.x;
  point->y += origin.y;
  return TRUE;
}

TWLAPI BOOL ScreenToClient(HWND window, LPPOINT point) {
  POINT origin;
  if (!point || !ClientOrigin(window, &origin)) return FALSE;
  point->x -= origin.x;
  point->y -= origin.y;
  return TRUE;
}

TWLAPI int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count) {
  POINT a, b;
  if (!ClientOrigin(from, &a) || !ClientOrigin(to, &b)) return 0;
  int dx = a.x - b.x;
  int dy = a.y - b.y;
  for (UINT i = 0; points && i < count; ++i) {
    points[i].x += dx;
    points[i].y += dy;
  }
  SetLastError(ERROR_SUCCESS);
  return MAKELONG(static_cast<WORD>(dx), static_cast<WORD>(dy));
}

TWLAPI BOOL AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL, DWORD exStyle) {
  if (!rect) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  Insets in = FrameInsets(style, exStyle);
  rect->left -= in.left;
  rect->top -= in.top;
  rect->right += in.right;
  rect->bottom += in.bottom;
  return TRUE;
}

TWLAPI BOOL AdjustWindowRect(LPRECT rect, DWORD style, BOOL menu) { return AdjustWindowRectEx(rect, style, menu, 0); }

TWLAPI BOOL SetRect(LPRECT rect, int left, int top, int right, int bottom) {
  if (!rect) return FALSE;
  *rect = RECT{left, top, right, bottom};
  return TRUE;
}

TWLAPI BOOL SetRectEmpty(LPRECT rect) { return SetRect(rect, 0, 0, 0, 0); }

TWLAPI BOOL IsRectEmpty(const RECT* rect) { return !rect || rect->right <= rect->left || rect->bottom <= rect->top; }

TWLAPI BOOL PtInRect(const RECT* rect, POINT p) {
  return rect && p.x >= rect->left && p.x < rect->right && p.y >= rect->top && p.y < rect->bottom;
}

TWLAPI BOOL OffsetRect(LPRECT rect, int dx, int dy) {
  if (!rect) return FALSE;
  rect->left += dx;
  rect->right += dx;
  rect->top += dy;
  rect->bottom += dy;
  return TRUE;
}

TWLAPI BOOL InflateRect(LPRECT rect, int dx, int dy) {
  if (!rect) return FALSE;
  rect->left -= dx;
  rect->right += dx;
  rect->top -= dy;
  rect->bottom += dy;
  return TRUE;
}

TWLAPI BOOL IntersectRect(LPRECT out, const RECT* a, const RECT* b) {
  if (!out || !a || !b) return FALSE;
  RECT r{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
         std::min(a->bottom, b->bottom)};
  if (IsRectEmpty(&r)) {
    *out = RECT{0, 0, 0, 0};
    return FALSE;
  }
  *out = r;
  return TRUE;
}

TWLAPI BOOL UnionRect(LPRECT out, const RECT* a, const RECT* b) {
  if (!out || !a || !b) return FALSE;
  if (IsRectEmpty(a)) {
    *out = *b;
  } else if (IsRectEmpty(b)) {
    *out = *a;
  } else {
    *out = RECT{std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
                std::max(a->bottom, b->bottom)};
  }
  return !IsRectEmpty(out);
}

TWLAPI BOOL EqualRect(const RECT* a, const RECT* b) {
  return a && b && a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom;
}

TWLAPI BOOL CopyRect(LPRECT out, const RECT* in) {
  if (!out || !in) return FALSE;
  *out = *in;
  return TRUE;
}
