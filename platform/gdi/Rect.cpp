// Rectangle arithmetic.
#include <algorithm>

#include "twlwin/rect.h"

TWLAPI BOOL SetRect(LPRECT rect, int left, int top, int right, int bottom) {
  if (!rect) return FALSE;
  *rect = RECT{left, top, right, bottom};
  return TRUE;
}

TWLAPI BOOL SetRectEmpty(LPRECT rect) { return SetRect(rect, 0, 0, 0, 0); }

TWLAPI BOOL IsRectEmpty(const RECT* rect) { return !rect || rect->right <= rect->left || rect->bottom <= rect->top; }

TWLAPI BOOL InflateRect(LPRECT rect, int dx, int dy) {
  if (!rect) return FALSE;
  rect->left -= dx;
  rect->right += dx;
  rect->top -= dy;
  rect->bottom += dy;
  return TRUE;
}

TWLAPI BOOL OffsetRect(LPRECT rect, int dx, int dy) {
  if (!rect) return FALSE;
  rect->left += dx;
  rect->right += dx;
  rect->top += dy;
  rect->bottom += dy;
  return TRUE;
}

TWLAPI BOOL IntersectRect(LPRECT result, const RECT* a, const RECT* b) {
  if (!result || !a || !b) return FALSE;
  RECT r{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
         std::min(a->bottom, b->bottom)};
  if (IsRectEmpty(&r)) {
    SetRectEmpty(result);
    return FALSE;
  }
  *result = r;
  return TRUE;
}

TWLAPI BOOL UnionRect(LPRECT result, const RECT* a, const RECT* b) {
  if (!result || !a || !b) return FALSE;
  if (IsRectEmpty(a) && IsRectEmpty(b)) {
    SetRectEmpty(result);
    return FALSE;
  }
  if (IsRectEmpty(a)) {
    *result = *b;
    return TRUE;
  }
  if (IsRectEmpty(b)) {
    *result = *a;
    return TRUE;
  }
  *result = RECT{std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
                 std::max(a->bottom, b->bottom)};
  return TRUE;
}

TWLAPI BOOL PtInRect(const RECT* rect, POINT point) {
  return rect && point.x >= rect->left && point.x < rect->right && point.y >= rect->top && point.y < rect->bottom;
}

TWLAPI BOOL EqualRect(const RECT* a, const RECT* b) {
  return a && b && a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom;
}

TWLAPI BOOL CopyRect(LPRECT dest, const RECT* source) {
  if (!dest || !source) return FALSE;
  *dest = *source;
  return TRUE;
}
