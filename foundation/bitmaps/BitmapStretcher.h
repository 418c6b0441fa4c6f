// CBitmapStretcher: copies a block of pixels into a destination block of
// another size, on raw pixel memory of one format with 1 to 4 bytes per
// pixel: by the nearest source pixel, or by blending the neighbouring
// source pixels (bilinear, in steps of 1/32, through a table of weights
// shared by all stretchers and built by the first one).
//
// Positions and steps are unsigned 16.16 fixed-point numbers. Callers
// pass the fractional part of the start and move the source address by
// the whole part themselves; to have the first and last destination
// pixels fall on the first and last source pixels they use
// step = ((source size << 16) - 65536) / (destination size - 1), or 0 for
// a destination of one pixel. Row steps in bytes may be negative
// (bottom-up bitmaps).
//
// The copies do not know the blocks' sizes: every source pixel they read
// (with the blending copy, also the right neighbour and the pixel below
// where the matching fraction is at least 1/32) and every destination
// pixel must lie inside the caller's blocks. Without SetFormat, or with
// more than 4 bytes per pixel, they copy nothing. One thread at a time.
#pragma once

#include <windows.h>

#include "foundation/kernel/TypedObject.h"

class CPixelFormat;

class CBitmapStretcher : public CTypedObject {
  TWL_DECLARE_CLASS(CBitmapStretcher)
 public:
  CBitmapStretcher() noexcept;

  // Palettized formats have no colour channels; neither have formats
  // whose red, green or blue mask is wider than 8 bits.
  void SetFormat(const CPixelFormat& format);

  // Destination pixel (j, i) is source pixel (floor(xStart + 1/2 + j *
  // xStep), floor(yStart + 1/2 + i * yStep)), in pixels.
  void StretchNearest(void* destination, INT destinationPitch, INT width, INT height, const void* source,
                      INT sourcePitch, DWORD xStep, DWORD yStep, DWORD xStart, DWORD yStart) const;
  // Blends each channel of a pixel with its right neighbour, the pixel
  // below and the one below right by the position's fraction in 1/32;
  // fractions below 1/32 do not blend, and a pixel that is not blended at
  // all is copied with all its bits. A blended pixel has 0 in the bits
  // outside the three colour masks (alpha). Formats without colour
  // channels are copied as by StretchNearest.
  void StretchSmooth(void* destination, INT destinationPitch, INT width, INT height, const void* source,
                     INT sourcePitch, DWORD xStep, DWORD yStep, DWORD xStart, DWORD yStart) const;

  bool HasColorChannels() const { return m_ColorChannelsValid; }
  INT GetBytesPerPixel() const { return m_BytesPerPixel; }

  // The shared weights: Blend(a, b, w) is a blended with b by w/32, for
  // channel values a and b below 256 and w from 1 to 31.
  static BYTE Blend(DWORD a, DWORD b, DWORD weight);

 private:
  template <int N>
  void NearestRows(BYTE* destination, INT destinationPitch, INT width, INT height, const BYTE* source,
                   INT sourcePitch, DWORD xStep, DWORD yStep, DWORD xStart, DWORD yStart) const;
  template <int N>
  void SmoothRows(BYTE* destination, INT destinationPitch, INT width, INT height, const BYTE* source,
                  INT sourcePitch, DWORD xStep, DWORD yStep, DWORD xStart, DWORD yStart) const;

  bool m_FormatSet = false;
  INT m_BytesPerPixel = 0;
  bool m_ColorChannelsValid = false;
  DWORD m_RedMask = 0;
  DWORD m_GreenMask = 0;
  DWORD m_BlueMask = 0;
  INT m_RedShift = 0;
  INT m_GreenShift = 0;
  INT m_BlueShift = 0;
};
