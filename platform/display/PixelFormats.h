// Pixel formats of the simulated display, as DirectDraw describes them:
// 4- and 8-bit palette indices, 16-bit 5-6-5 and 5-5-5, 24-bit and 32-bit
// RGB, and whatever else a test sets (such as a non-RGB format) so that
// programs can meet a display they refuse. Plain functions, thread-safe.
#pragma once

#include <cstdint>
#include <vector>

#include "twlwin/ddraw.h"

namespace twl::display {

// The format of a depth as TWL_DISPLAY and the testing header give it:
// 4 and 8 palettized, 15 (5-5-5 in 16 bits), 16 (5-6-5), 24 and 32. False
// for any other depth.
bool FormatForDepth(int depth, DDPIXELFORMAT* format);
// The depth FormatForDepth takes for a format (15 for 5-5-5), or 0 for a
// format it does not make.
int DepthOfFormat(const DDPIXELFORMAT& format);

bool IsPalettized(const DDPIXELFORMAT& format);
// Formats whose pixels the layer's surfaces hold: 8-bit palette indices and
// RGB of 16, 24 or 32 bits.
bool IsSurfaceFormat(const DDPIXELFORMAT& format);
// 1 to 4 for surface formats.
int BytesPerPixel(const DDPIXELFORMAT& format);
// The bits a pixel value may have (0xFF, 0xFFFF, 0xFFFFFF, 0xFFFFFFFF).
uint32_t PixelMask(const DDPIXELFORMAT& format);
bool SameFormat(const DDPIXELFORMAT& a, const DDPIXELFORMAT& b);

// Conversions between pixel values and COLORREF. For 8-bit formats the
// palette (256 COLORREF entries) gives the colours and the nearest entry
// the index.
COLORREF ColourOfPixel(const DDPIXELFORMAT& format, uint32_t pixel, const std::vector<COLORREF>& palette);
uint32_t PixelOfColour(const DDPIXELFORMAT& format, COLORREF colour, const std::vector<COLORREF>& palette);

}  // namespace twl::display
