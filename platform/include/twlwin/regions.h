// Regions: sets of pixels kept as lists of rectangles, for window shapes,
// hit testing and clipping. A region handle may be used from any thread;
// SetWindowRgn takes the region over, after which the handle is gone.
#pragma once

#include "types.h"

// Region complexity results; ERROR (0) means the call failed.
#ifndef ERROR
#define ERROR 0
#endif
#define NULLREGION 1
#define SIMPLEREGION 2
#define COMPLEXREGION 3
#define RGN_ERROR ERROR

#define RGN_AND 1
#define RGN_OR 2
#define RGN_XOR 3
#define RGN_DIFF 4
#define RGN_COPY 5

#define RDH_RECTANGLES 1

typedef struct _RGNDATAHEADER {
  DWORD dwSize;
  DWORD iType;
  DWORD nCount;
  DWORD nRgnSize;
  RECT rcBound;
} RGNDATAHEADER, *PRGNDATAHEADER;

typedef struct _RGNDATA {
  RGNDATAHEADER rdh;
  char Buffer[1];
} RGNDATA, *PRGNDATA, *LPRGNDATA;

typedef struct tagXFORM {
  FLOAT eM11;
  FLOAT eM12;
  FLOAT eM21;
  FLOAT eM22;
  FLOAT eDx;
  FLOAT eDy;
} XFORM, *PXFORM, *LPXFORM;

TWLAPI HRGN CreateRectRgn(int left, int top, int right, int bottom);
TWLAPI HRGN CreateRectRgnIndirect(const RECT* rect);
// Builds a region from RDH_RECTANGLES data; size is the number of bytes at
// data. Transforms are not supported (xform must be null).
TWLAPI HRGN ExtCreateRegion(const XFORM* xform, DWORD size, const RGNDATA* data);
TWLAPI int CombineRgn(HRGN destination, HRGN source1, HRGN source2, int mode);
TWLAPI BOOL SetRectRgn(HRGN region, int left, int top, int right, int bottom);
TWLAPI int OffsetRgn(HRGN region, int dx, int dy);
TWLAPI int GetRgnBox(HRGN region, LPRECT rect);
TWLAPI BOOL PtInRegion(HRGN region, int x, int y);
TWLAPI BOOL RectInRegion(HRGN region, const RECT* rect);
TWLAPI BOOL EqualRgn(HRGN region1, HRGN region2);
// Returns the bytes needed when data is null or too small (nothing written
// in that case), else the bytes written.
TWLAPI DWORD GetRegionData(HRGN region, DWORD size, LPRGNDATA data);

// Deletes a GDI object; regions are the only kind so far.
TWLAPI BOOL DeleteObject(HGDIOBJ object);

TWLAPI int SetWindowRgn(HWND window, HRGN region, BOOL redraw);
TWLAPI int GetWindowRgn(HWND window, HRGN region);

// Rectangle helpers.
TWLAPI BOOL SetRect(LPRECT rect, int left, int top, int right, int bottom);
TWLAPI BOOL SetRectEmpty(LPRECT rect);
TWLAPI BOOL IsRectEmpty(const RECT* rect);
TWLAPI BOOL PtInRect(const RECT* rect, POINT point);
TWLAPI BOOL OffsetRect(LPRECT rect, int dx, int dy);
TWLAPI BOOL InflateRect(LPRECT rect, int dx, int dy);
TWLAPI BOOL IntersectRect(LPRECT destination, const RECT* source1, const RECT* source2);
TWLAPI BOOL UnionRect(LPRECT destination, const RECT* source1, const RECT* source2);
TWLAPI BOOL EqualRect(const RECT* rect1, const RECT* rect2);
TWLAPI BOOL CopyRect(LPRECT destination, const RECT* source);
