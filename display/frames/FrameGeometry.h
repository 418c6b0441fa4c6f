// The geometry of a nine-part frame at a window size: which widths the
// three columns and heights the three rows take, and how a point of the
// window relates to the same point of the frame picture at its own size
// (the middle column and row are the ones that grow).
#pragma once

#include <windows.h>

// Part sizes along one direction: first, centre and last part.
struct FrameSpan {
  INT first = 1;
  INT centre = 1;
  INT last = 1;
};

// The window's columns for a window `size` wide: the left column takes
// part 3's width, the right one part 5's, the middle what is left; a
// window too narrow for both sides first loses its middle, then its right
// column.
struct FrameColumns {
  INT left = 0;
  INT middle = 0;
  INT right = 0;
};
FrameColumns SplitFrameColumns(INT size, INT leftWidth, INT rightWidth);

// Window to picture coordinates and back, along one direction of a window
// `size` long (integer arithmetic, the product first).
INT FrameToUnstretched(INT value, const FrameSpan& span, INT size);
INT FrameToStretched(INT value, const FrameSpan& span, INT size);
