// Painting the skin's frames at any window size, straight into locked
// surface memory: the nine-part frame of the auxiliary windows with its
// caption, and the three-part column of the control window beside the
// viewer, each also as a byte mask (1 inside) for the window's region.
// Every painter works on a clip rectangle of the window, so a window can
// be painted one back-buffer tile at a time.
//
// The parts come from the current drawable skin of the user interface and
// are read under the display lock, which the painters hold throughout;
// callers may hold it already. A renderer without its parts (released
// after a surface loss) gives DDERR_SURFACELOST, or for the masks that
// error in the thread error state.
#pragma once

#include <windows.h>

#include "twlwin/ddraw.h"

// The frame of a width x height window into `surface`, the clip's
// top-left (null clip: the whole window) at (x, y), then the caption.
// E_INVALIDARG for a clip outside the window; an empty clip paints
// nothing. Lock and unlock failures are returned as they come; parts made
// for another display mode than the surface's give DDERR_WRONGMODE.
HRESULT PaintAuxFrame(IDirectDrawSurface2* surface, INT x, INT y, INT width, INT height, const char* caption,
                      const RECT* clip);
// The same layout as bytes (pitch bytes a row) from the part masks; the
// area of a part without a mask is 1, and with no masks at all the clip is
// all 1. False with the thread error set on failure.
bool PaintAuxFrameMask(BYTE* bytes, INT pitch, INT x, INT y, INT width, INT height, const RECT* clip);

// The control window's frame of the current main window mode as one column
// of its parts' width and `height` rows.
HRESULT PaintControlWindowColumn(IDirectDrawSurface2* surface, INT x, INT y, const RECT* clip, INT height);
bool PaintControlWindowColumnMask(INT height, BYTE* bytes, INT pitch, INT x, INT y, const RECT* clip);

// The width of the control window's frame column, 0 without one.
INT GetControlWindowColumnWidth();
