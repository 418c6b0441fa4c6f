#include "display/frames/FrameCells.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "display/frames/FrameGeometry.h"
#include "foundation/bitmaps/BitmapStretcher.h"

namespace {

constexpr DWORD kOne = 0x10000;

// A run of destination pixels along one direction and where its first
// pixel comes from: the whole source pixel, the fraction (16.16) and the
// step per destination pixel.
struct Run {
  INT destination = 0;
  INT length = 0;
  INT source = 0;
  DWORD fraction = 0;
  DWORD step = kOne;
};

// The runs that paint destination [from, to) of a cell starting at
// `cellStart` of `cellLength` pixels from a source of `size` pixels. A
// tiled direction gives the runs of the first repetition only (at most
// two, when the start falls inside the picture); `period` is then the
// picture's size, and the rest is copied from what was painted.
int SpreadRuns(FrameSpread spread, INT cellStart, INT cellLength, INT size, INT from, INT to, Run runs[2],
               INT& period) {
  const INT length = to - from;
  if (spread == FrameSpread::kStretch) {
    const DWORD step =
        cellLength > 1 ? static_cast<DWORD>((static_cast<uint64_t>(size) * kOne - kOne) / (cellLength - 1)) : 0;
    const uint64_t position = static_cast<uint64_t>(from - cellStart) * step;
    runs[0] = Run{from, length, static_cast<INT>(position >> 16), static_cast<DWORD>(position & 0xFFFF), step};
    period = 0;
    return 1;
  }
  const INT offset = (from - cellStart) % size;
  const INT first = std::min(size - offset, length);
  runs[0] = Run{from, first, offset, 0, kOne};
  period = size;
  if (first == length) return 1;
  runs[1] = Run{from + first, std::min(offset, length - first), 0, 0, kOne};
  return 2;
}

BYTE* TargetAt(const FrameTarget& target, INT x, INT y) {
  return target.origin + static_cast<ptrdiff_t>(y - target.clip.top) * target.pitch +
         static_cast<ptrdiff_t>(x - target.clip.left) * target.bytesPerPixel;
}

void PaintBlock(const FrameTarget& target, const FramePainter& painter, const FramePicture& picture, const Run& across,
                const Run& down) {
  const INT bpp = target.bytesPerPixel;
  BYTE* destination = TargetAt(target, across.destination, down.destination);
  const BYTE* source = picture.top + static_cast<ptrdiff_t>(down.source) * picture.pitch +
                       static_cast<ptrdiff_t>(across.source) * bpp;
  const bool plainCopy = across.step == kOne && down.step == kOne && across.fraction == 0 && down.fraction == 0;
  if (plainCopy) {
    for (INT row = 0; row < down.length; ++row)
      std::memcpy(destination + static_cast<ptrdiff_t>(row) * target.pitch,
                  source + static_cast<ptrdiff_t>(row) * picture.pitch, static_cast<size_t>(across.length) * bpp);
    return;
  }
  if (painter.smooth)
    painter.stretcher->StretchSmooth(destination, target.pitch, across.length, down.length, source, picture.pitch,
                                     across.step, down.step, across.fraction, down.fraction);
  else
    painter.stretcher->StretchNearest(destination, target.pitch, across.length, down.length, source, picture.pitch,
                                      across.step, down.step, across.fraction, down.fraction);
}

// The cell cut to the clip; false when nothing of it is left.
bool ClipCell(const FrameTarget& target, const RECT& cell, RECT& area) {
  area.left = std::max(cell.left, target.clip.left);
  area.top = std::max(cell.top, target.clip.top);
  area.right = std::min(cell.right, target.clip.right);
  area.bottom = std::min(cell.bottom, target.clip.bottom);
  return area.left < area.right && area.top < area.bottom;
}

}  // namespace

void PaintFrameCell(const FrameTarget& target, const FramePainter& painter, const FramePicture& picture,
                    const RECT& cell, FrameSpread horizontal, FrameSpread vertical) {
  RECT area;
  if (picture.IsEmpty() || !ClipCell(target, cell, area)) return;
  Run across[2], down[2];
  INT periodAcross = 0, periodDown = 0;
  const int acrossCount = SpreadRuns(horizontal, cell.left, cell.right - cell.left, picture.width, area.left,
                                     area.right, across, periodAcross);
  const int downCount =
      SpreadRuns(vertical, cell.top, cell.bottom - cell.top, picture.height, area.top, area.bottom, down, periodDown);
  for (int i = 0; i < downCount; ++i)
    for (int j = 0; j < acrossCount; ++j) PaintBlock(target, painter, picture, across[j], down[i]);

  const INT bpp = target.bytesPerPixel;
  const INT firstRows = down[0].length + (downCount > 1 ? down[1].length : 0);
  // The first repetition is painted; the rest of each row repeats it.
  if (periodAcross > 0) {
    for (INT y = area.top; y < area.top + firstRows; ++y) {
      for (INT x = area.left + periodAcross; x < area.right; x += periodAcross) {
        const INT count = std::min(periodAcross, area.right - x);
        std::memcpy(TargetAt(target, x, y), TargetAt(target, x - periodAcross, y), static_cast<size_t>(count) * bpp);
      }
    }
  }
  if (periodDown > 0) {
    const size_t rowBytes = static_cast<size_t>(area.right - area.left) * bpp;
    for (INT y = area.top + periodDown; y < area.bottom; ++y)
      std::memcpy(TargetAt(target, area.left, y), TargetAt(target, area.left, y - periodDown), rowBytes);
  }
}

void FillFrameCell(const FrameTarget& target, const RECT& cell, BYTE value) {
  RECT area;
  if (!ClipCell(target, cell, area)) return;
  const size_t rowBytes = static_cast<size_t>(area.right - area.left) * target.bytesPerPixel;
  for (INT y = area.top; y < area.bottom; ++y) std::memset(TargetAt(target, area.left, y), value, rowBytes);
}

void PaintFrameColumn(const FrameTarget& target, const FramePainter& painter, const FrameColumn& column, INT left,
                      INT right, INT height, FrameSpread horizontal, FrameSpread vertical, bool fillMissing,
                      BYTE missingValue) {
  if (left >= right || height <= 0) return;
  const INT topHeight = std::max(column.parts[0].height, 0);
  const INT bottomHeight = std::max(column.parts[2].height, 0);
  const RECT cells[3] = {
      {left, 0, right, std::min(topHeight, height)},
      {left, topHeight, right, height - bottomHeight},
      {left, height - bottomHeight, right, height},
  };
  const FrameSpread spreadDown[3] = {FrameSpread::kTile, vertical, FrameSpread::kTile};
  for (int index = 0; index < 3; ++index) {
    const RECT& cell = cells[index];
    if (cell.left >= cell.right || cell.top >= cell.bottom) continue;
    const FramePicture& picture = column.parts[index];
    if (picture.top)
      PaintFrameCell(target, painter, picture, cell, horizontal, spreadDown[index]);
    else if (fillMissing)
      FillFrameCell(target, cell, missingValue);
  }
}

void PaintNinePartFrame(const FrameTarget& target, const FramePainter& painter, const FramePicture (&parts)[9],
                        INT width, INT height, FrameSpread horizontal, FrameSpread vertical, bool fillMissing) {
  const FrameColumns columns = SplitFrameColumns(width, parts[3].width, parts[5].width);
  const INT starts[3] = {0, columns.left, columns.left + columns.middle};
  const INT ends[3] = {columns.left, columns.left + columns.middle, width};
  for (int column = 0; column < 3; ++column) {
    const FrameColumn three{{parts[column], parts[3 + column], parts[6 + column]}};
    PaintFrameColumn(target, painter, three, starts[column], ends[column], height,
                     column == 1 ? horizontal : FrameSpread::kTile, vertical, fillMissing, 1);
  }
}
