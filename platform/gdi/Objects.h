// Brushes and pens: plain values once made. Fonts are in Font.h and
// bitmaps in Bitmap.h. Immutable, so any thread may read them.
#pragma once

#include "GdiObject.h"
#include "twlwin/gdi.h"

namespace twl::gdi {

class Brush final : public GdiObject {
 public:
  Brush(bool hollow, COLORREF colour) : hollow(hollow), colour(colour & 0x00FFFFFF) {}
  DWORD Type() const override { return OBJ_BRUSH; }
  const bool hollow;
  const COLORREF colour;
};

class Pen final : public GdiObject {
 public:
  Pen(int style, int width, COLORREF colour) : style(style), width(width), colour(colour & 0x00FFFFFF) {}
  DWORD Type() const override { return OBJ_PEN; }
  bool IsNull() const { return style == PS_NULL; }
  const int style;
  const int width;
  const COLORREF colour;
};

// The colour a brush handle paints with: a brush object, or a system
// colour given as COLOR_x + 1. Empty for a hollow brush or a bad handle;
// `valid` tells the two apart.
struct BrushColour {
  bool valid = false;
  bool paints = false;
  COLORREF colour = 0;
};
BrushColour ResolveBrush(HBRUSH brush);

}  // namespace twl::gdi
