// The pixel work of frame painting: one picture (a frame part) copied,
// stretched or tiled over a cell of the window, clipped to the rectangle
// being painted. Positions follow the whole cell, whatever part of it is
// painted, so that painting a window in tiles gives exactly the pixels of
// painting it at once. Stretching and tiling never read outside the
// picture, whatever the sizes.
#pragma once

#include <windows.h>

class CBitmapStretcher;

// A picture in memory: the address of its top row and the signed step
// from one row to the next (negative for pictures stored bottom-up).
struct FramePicture {
  const BYTE* top = nullptr;
  INT pitch = 0;
  INT width = 0;
  INT height = 0;
  bool IsEmpty() const { return !top || width <= 0 || height <= 0; }
};

// Where the painting goes: `origin` is the address of the clip's top-left
// pixel; the clip is in window coordinates.
struct FrameTarget {
  BYTE* origin = nullptr;
  INT pitch = 0;
  INT bytesPerPixel = 4;
  RECT clip{};
};

// Along one direction a picture is spread over its cell by stretching it
// (first and last pixels on the cell's ends) or by repeating it from the
// cell's start. A picture copied 1:1 is one tiled over a cell no larger
// than itself.
enum class FrameSpread { kStretch, kTile };

// The stretcher must be set to the target's format; `smooth` blends, else
// the nearest source pixel is taken.
struct FramePainter {
  const CBitmapStretcher* stretcher = nullptr;
  bool smooth = false;
};

// Paints `picture` over `cell` (window coordinates; it may reach beyond
// the window) where the cell meets the target's clip.
void PaintFrameCell(const FrameTarget& target, const FramePainter& painter, const FramePicture& picture,
                    const RECT& cell, FrameSpread horizontal, FrameSpread vertical);

// Fills the part of `cell` inside the clip with `value` (masks: a part
// without a mask is all inside).
void FillFrameCell(const FrameTarget& target, const RECT& cell, BYTE value);

// The three parts of a column (top, middle, bottom) over the window's
// columns `left` .. `right` and rows 0 .. height: top and bottom copied at
// their own heights (the bottom part last, so it wins where they meet), the
// middle spread between them. A part with no picture is filled with
// `missingValue` when `fillMissing` is set, else left alone; its width
// and height still give the layout.
struct FrameColumn {
  FramePicture parts[3];
};
void PaintFrameColumn(const FrameTarget& target, const FramePainter& painter, const FrameColumn& column, INT left,
                      INT right, INT height, FrameSpread horizontal, FrameSpread vertical, bool fillMissing,
                      BYTE missingValue);

// The nine parts (row by row from the top-left) of a width x height
// window: the left column from parts 0, 3, 6 at part 3's width, the right
// one from 2, 5, 8 at part 5's width, the middle one from 1, 4, 7 spread
// across by `horizontal`; the middle row spread down by `vertical`.
void PaintNinePartFrame(const FrameTarget& target, const FramePainter& painter, const FramePicture (&parts)[9],
                        INT width, INT height, FrameSpread horizontal, FrameSpread vertical, bool fillMissing);
