// Rectangle arithmetic. Right and bottom edges lie outside a rectangle, so
// an empty rectangle has right <= left or bottom <= top. Pure functions,
// safe from any thread.
#pragma once

#include "types.h"

TWLAPI BOOL SetRect(LPRECT rect, int left, int top, int right, int bottom);
TWLAPI BOOL SetRectEmpty(LPRECT rect);
TWLAPI BOOL IsRectEmpty(const RECT* rect);
TWLAPI BOOL InflateRect(LPRECT rect, int dx, int dy);
TWLAPI BOOL OffsetRect(LPRECT rect, int dx, int dy);
TWLAPI BOOL IntersectRect(LPRECT result, const RECT* a, const RECT* b);
TWLAPI BOOL UnionRect(LPRECT result, const RECT* a, const RECT* b);
TWLAPI BOOL PtInRect(const RECT* rect, POINT point);
TWLAPI BOOL EqualRect(const RECT* a, const RECT* b);
TWLAPI BOOL CopyRect(LPRECT dest, const RECT* source);
