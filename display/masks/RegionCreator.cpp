#include "display/masks/RegionCreator.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "foundation/appcore/StepTiming.h"
#include "skins/masks/Mask.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CRegionCreator, CTypedObject)

void CRegionCreator::Decompose(const CMask& mask) {
  m_Rects.clear();
  if (!mask.GetBytes() || mask.GetWidth() <= 0 || mask.GetHeight() <= 0) return;
  m_Mask = &mask;
  m_Line.assign(static_cast<size_t>(std::max(mask.GetWidth(), mask.GetHeight())), 0);
  SplitColumns(0, 0, mask.GetWidth(), mask.GetHeight());
  m_Line.clear();
  m_Line.shrink_to_fit();
  m_Mask = nullptr;
  std::sort(m_Rects.begin(), m_Rects.end(), [](const RECT& a, const RECT& b) {
    return a.left != b.left ? a.left < b.left : a.top < b.top;
  });
}

// The column's pattern over the rows goes into the line buffer.
CRegionCreator::LineKind CRegionCreator::ScanColumn(INT x, INT top, INT bottom) {
  bool anyInside = false, anyOutside = false;
  for (INT y = top; y < bottom; ++y) {
    const bool inside = m_Mask->IsInside(x, y);
    m_Line[y] = inside;
    (inside ? anyInside : anyOutside) = true;
  }
  if (anyInside && anyOutside) return LineKind::Mixed;
  return anyInside ? LineKind::Full : LineKind::Empty;
}

CRegionCreator::LineKind CRegionCreator::ScanRow(INT y, INT left, INT right) {
  bool anyInside = false, anyOutside = false;
  for (INT x = left; x < right; ++x) {
    const bool inside = m_Mask->IsInside(x, y);
    m_Line[x] = inside;
    (inside ? anyInside : anyOutside) = true;
  }
  if (anyInside && anyOutside) return LineKind::Mixed;
  return anyInside ? LineKind::Full : LineKind::Empty;
}

bool CRegionCreator::ColumnMatchesLine(INT x, INT top, INT bottom) const {
  for (INT y = top; y < bottom; ++y)
    if (m_Mask->IsInside(x, y) != (m_Line[y] != 0)) return false;
  return true;
}

bool CRegionCreator::RowMatchesLine(INT y, INT left, INT right) const {
  for (INT x = left; x < right; ++x)
    if (m_Mask->IsInside(x, y) != (m_Line[x] != 0)) return false;
  return true;
}

// Runs of full columns become rectangles, runs of empty ones nothing; a
// mixed column is taken with the identical columns after it and that
// block is cut by rows, where every row is uniform.
void CRegionCreator::SplitColumns(INT left, INT top, INT right, INT bottom) {
  INT start = left;
  while (start < right) {
    const LineKind kind = ScanColumn(start, top, bottom);
    INT end = start + 1;
    if (kind == LineKind::Mixed) {
      while (end < right && ColumnMatchesLine(end, top, bottom)) ++end;
      SplitRows(start, top, end, bottom);
    } else {
      while (end < right && ScanColumn(end, top, bottom) == kind) ++end;
      if (kind == LineKind::Full) m_Rects.push_back(RECT{start, top, end, bottom});
    }
    start = end;
  }
}

void CRegionCreator::SplitRows(INT left, INT top, INT right, INT bottom) {
  INT start = top;
  while (start < bottom) {
    const LineKind kind = ScanRow(start, left, right);
    INT end = start + 1;
    if (kind == LineKind::Mixed) {
      while (end < bottom && RowMatchesLine(end, left, right)) ++end;
      SplitColumns(left, start, right, end);
    } else {
      while (end < bottom && ScanRow(end, left, right) == kind) ++end;
      if (kind == LineKind::Full) m_Rects.push_back(RECT{left, start, right, end});
    }
    start = end;
  }
}

HRGN CRegionCreator::BuildRegion() const {
  bool chunkRefused = false;
  if (HRGN region = BuildInChunks(&chunkRefused)) return region;
  return chunkRefused ? BuildOneByOne() : nullptr;
}

namespace {

// ORs `part` into `*result` (or makes it the result) and deletes it.
bool AddToRegion(HRGN* result, HRGN part) {
  if (!*result) {
    *result = part;
    return true;
  }
  const bool combined = CombineRgn(*result, *result, part, RGN_OR) != ERROR;
  DeleteObject(part);
  return combined;
}

HRGN ChunkRegion(const RECT* rects, size_t count) {
  const size_t size = sizeof(RGNDATAHEADER) + count * sizeof(RECT);
  std::unique_ptr<BYTE[]> block(new (std::nothrow) BYTE[size]);
  if (!block) return nullptr;
  RGNDATAHEADER header{};
  header.dwSize = sizeof(RGNDATAHEADER);
  header.iType = RDH_RECTANGLES;
  header.nCount = static_cast<DWORD>(count);
  header.nRgnSize = static_cast<DWORD>(count * sizeof(RECT));
  header.rcBound = rects[0];
  for (size_t i = 1; i < count; ++i) UnionRect(&header.rcBound, &header.rcBound, &rects[i]);
  std::memcpy(block.get(), &header, sizeof header);
  std::memcpy(block.get() + sizeof header, rects, count * sizeof(RECT));
  return ExtCreateRegion(nullptr, static_cast<DWORD>(size), reinterpret_cast<const RGNDATA*>(block.get()));
}

}  // namespace

HRGN CRegionCreator::BuildInChunks(bool* chunkRefused) const {
  HRGN result = nullptr;
  for (size_t first = 0; first < m_Rects.size(); first += kChunkSize) {
    const size_t count = std::min(kChunkSize, m_Rects.size() - first);
    HRGN chunk = ChunkRegion(&m_Rects[first], count);
    *chunkRefused = chunk == nullptr;
    if (!chunk || !AddToRegion(&result, chunk)) {
      if (result) DeleteObject(result);
      return nullptr;
    }
  }
  return result;
}

// Each rectangle becomes a region of its own; they are ORed pairwise in
// rounds rather than each into one growing result, which would cost the
// square of the count.
HRGN CRegionCreator::BuildOneByOne() const {
  std::vector<HRGN> parts;
  parts.reserve(m_Rects.size());
  auto deleteAll = [&parts] {
    for (HRGN part : parts)
      if (part) DeleteObject(part);
    return nullptr;
  };
  for (const RECT& rect : m_Rects) {
    HRGN part = CreateRectRgn(rect.left, rect.top, rect.right, rect.bottom);
    if (!part) return deleteAll();
    parts.push_back(part);
  }
  while (parts.size() > 1) {
    size_t kept = 0;
    for (size_t i = 0; i < parts.size(); i += 2) {
      HRGN merged = parts[i];
      if (i + 1 < parts.size()) {
        const bool combined = CombineRgn(merged, merged, parts[i + 1], RGN_OR) != ERROR;
        DeleteObject(parts[i + 1]);
        parts[i + 1] = nullptr;
        if (!combined) return deleteAll();
      }
      parts[i] = nullptr;
      parts[kept++] = merged;
    }
    parts.resize(kept);
  }
  return parts.empty() ? nullptr : parts.front();
}

bool CreateRegionFromMask(HRGN* region, const CMask* mask) {
  const TimedStep timing("create region from mask");
  *region = nullptr;
  if (!mask) return true;
  CRegionCreator creator;
  creator.Decompose(*mask);
  // One block is the window itself only when it covers the whole mask; a
  // smaller one (a frame with a transparent outline) still shapes it.
  const std::vector<RECT>& rects = creator.GetRects();
  if (rects.empty()) return true;
  if (rects.size() == 1 && rects[0].left == 0 && rects[0].top == 0 && rects[0].right == mask->GetWidth() &&
      rects[0].bottom == mask->GetHeight())
    return true;
  *region = creator.BuildRegion();
  return *region != nullptr;
}
