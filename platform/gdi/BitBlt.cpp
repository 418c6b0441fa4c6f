// Copies between DCs with raster operations, and scaled copies.
#include <algorithm>
#include <cmath>
#include <vector>

#include "DeviceContext.h"
#include "Raster.h"
#include "twlwin/errors.h"
#include "twlwin/gdi.h"

using namespace twl::gdi;

namespace {

// The colour a source pixel stands for in the destination: monochrome
// bitmaps take the colours of the DCs, as Windows does.
COLORREF Convert(COLORREF sourcePixel, const DeviceContext& source, const DeviceContext& dest) {
  bool fromMono = source.surface->IsMonochrome();
  bool toMono = dest.surface->IsMonochrome();
  if (fromMono && !toMono) return sourcePixel == RGB(0, 0, 0) ? dest.textColour : dest.bkColour;
  if (toMono && !fromMono) return sourcePixel == source.bkColour ? RGB(255, 255, 255) : RGB(0, 0, 0);
  return sourcePixel;
}

// One axis of a scaled copy: device coordinate in the source for the
// destination pixel `index` of `count` (both extents may be negative,
// which mirrors).
int SourceCoordinate(int start, int extent, int destIndex, int destExtent) {
  double u = (destIndex + 0.5) / std::abs(destExtent);
  if ((extent < 0) != (destExtent < 0)) u = 1.0 - u;
  double origin = extent < 0 ? start + extent : start;
  return static_cast<int>(std::floor(origin + u * std::abs(extent)));
}

BOOL Blit(HDC destHandle, int x, int y, int width, int height, HDC sourceHandle, int sx, int sy, int sw, int sh,
          DWORD rop) {
  auto dest = FindDc(destHandle);
  if (!dest) return FALSE;
  std::shared_ptr<DeviceContext> source;
  if (RopUsesSource(rop)) {
    source = FindDc(sourceHandle);
    if (!source) return FALSE;
  }
  constexpr int kLimit = 1 << 27;
  for (int v : {x, y, width, height, sx, sy, sw, sh}) {
    if (v <= -kLimit || v >= kLimit) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
  }
  if (width == 0 || height == 0 || sw == 0 || sh == 0) return TRUE;
  if (!dest->surface || (source && !source->surface)) return TRUE;

  RECT logical{std::min(x, x + width), std::min(y, y + height), std::max(x, x + width), std::max(y, y + height)};
  RECT target = dest->ToDeviceClipped(logical);
  POINT destCorner = dest->ToDevice(logical.left, logical.top);
  COLORREF pattern = dest->brushObject && !dest->brushObject->hollow ? dest->brushObject->colour : RGB(255, 255, 255);

  // Read every source pixel first: source and destination may be one bitmap.
  int columns = target.right - target.left;
  int rows = target.bottom - target.top;
  std::vector<COLORREF> sourcePixels;
  std::vector<uint8_t> present;
  if (source) {
    PixelAccess reading(*source);
    POINT sourceOrigin = source->ToDevice(sx, sy);
    sourcePixels.resize(static_cast<size_t>(columns) * rows);
    present.resize(sourcePixels.size());
    for (int row = 0; row < rows; ++row) {
      int srcY = SourceCoordinate(sourceOrigin.y, sh, target.top + row - destCorner.y, height);
      for (int column = 0; column < columns; ++column) {
        int srcX = SourceCoordinate(sourceOrigin.x, sw, target.left + column - destCorner.x, width);
        if (!source->surface->Contains(srcX, srcY)) continue;
        if (source->mask && !source->mask->Contains(srcX, srcY)) continue;  // not the window's
        size_t at = static_cast<size_t>(row) * columns + column;
        sourcePixels[at] = Convert(source->surface->GetPixel(srcX, srcY), *source, *dest);
        present[at] = 1;
      }
    }
  }
  PixelAccess writing(*dest, target);
  dest->ForEachSpan(target, [&](int py, int left, int right) {
    for (int px = left; px < right; ++px) {
      size_t at = static_cast<size_t>(py - target.top) * columns + (px - target.left);
      if (source && !present[at]) continue;
      COLORREF src = source ? sourcePixels[at] : 0;
      COLORREF result = (rop >> 16 & 0xFF) == 0xCC ? src : ApplyRop3(rop, pattern, src, dest->surface->GetPixel(px, py));
      dest->surface->SetPixel(px, py, result);
    }
  });
  return TRUE;
}

}  // namespace

TWLAPI BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int sourceX, int sourceY, DWORD rop) {
  if (width < 0 || height < 0) return TRUE;
  return Blit(dest, x, y, width, height, source, sourceX, sourceY, width, height, rop);
}

TWLAPI BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC source, int sourceX, int sourceY,
                       int sourceWidth, int sourceHeight, DWORD rop) {
  return Blit(dest, x, y, width, height, source, sourceX, sourceY, sourceWidth, sourceHeight, rop);
}
