// CRegionCreator: turns a mask into a window region. Decompose cuts the
// mask into disjoint rectangles: runs of identical columns are taken
// together, so the rectangle count follows the number of distinct column
// patterns rather than the pixel count. BuildRegion makes the region from
// them in chunks of at most kChunkSize rectangles, because large region
// data can fail; when a chunk fails it starts over one rectangle at a
// time. One thread at a time.
//
// CreateRegionFromMask is the program's one entry to region building.
#pragma once

#include <vector>

#include <windows.h>

#include "foundation/kernel/TypedObject.h"

class CMask;

class CRegionCreator : public CTypedObject {
  TWL_DECLARE_CLASS(CRegionCreator)
 public:
  static constexpr size_t kChunkSize = 4094;

  CRegionCreator() noexcept = default;
  CRegionCreator(const CRegionCreator&) = delete;
  CRegionCreator& operator=(const CRegionCreator&) = delete;

  // Replaces the rectangle list by the mask's decomposition, sorted by
  // left edge, ties by top edge.
  void Decompose(const CMask& mask);
  // A new region of the listed rectangles, or null when a region call
  // failed (nothing is left over then).
  HRGN BuildRegion() const;

  const std::vector<RECT>& GetRects() const { return m_Rects; }

 private:
  enum class LineKind { Empty, Full, Mixed };

  void SplitColumns(INT left, INT top, INT right, INT bottom);
  void SplitRows(INT left, INT top, INT right, INT bottom);
  LineKind ScanColumn(INT x, INT top, INT bottom);
  LineKind ScanRow(INT y, INT left, INT right);
  bool ColumnMatchesLine(INT x, INT top, INT bottom) const;
  bool RowMatchesLine(INT y, INT left, INT right) const;
  // Null when a call failed; *chunkRefused tells whether it was the
  // region data of a chunk that was refused.
  HRGN BuildInChunks(bool* chunkRefused) const;
  HRGN BuildOneByOne() const;

  std::vector<RECT> m_Rects;
  const CMask* m_Mask = nullptr;  // only during Decompose
  std::vector<BYTE> m_Line;       // pattern of the last scanned column or row
};

// Sets *region to a new region of the mask's shape, or to null when the
// mask is null, empty or inside everywhere (the window stays rectangular);
// one block smaller than the mask is a region of that block.
// False only when building the region failed. Timed as the step "create
// region from mask".
bool CreateRegionFromMask(HRGN* region, const CMask* mask);
