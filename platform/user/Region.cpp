#include "Region.h"

#include <algorithm>

namespace twl {

namespace {

bool IsEmptyRect(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

bool Wanted(bool inA, bool inB, Region::Op op) {
  switch (op) {
    case Region::Op::And: return inA && inB;
    case Region::Op::Or: return inA || inB;
    case Region::Op::Xor: return inA != inB;
    case Region::Op::Diff: return inA && !inB;
  }
  return false;
}

}  // namespace

Region::Region(const RECT& rect) {
  if (!IsEmptyRect(rect)) bands_.push_back({rect.top, rect.bottom, {{rect.left, rect.right}}});
}

Region Region::FromRects(const std::vector<RECT>& rects) {
  // Sorting by top keeps unions cheap for the usual input: rows of a mask,
  // top to bottom.
  std::vector<RECT> sorted;
  sorted.reserve(rects.size());
  for (const RECT& r : rects)
    if (!IsEmptyRect(r)) sorted.push_back(r);
  std::stable_sort(sorted.begin(), sorted.end(), [](const RECT& a, const RECT& b) { return a.top < b.top; });
  // Merge rows of equal height in one pass, then union the rows pairwise so
  // that the work stays near n log n for large masks.
  std::vector<Region> parts;
  size_t i = 0;
  while (i < sorted.size()) {
    size_t j = i;
    std::vector<RECT> row;
    while (j < sorted.size() && sorted[j].top == sorted[i].top && sorted[j].bottom == sorted[i].bottom)
      row.push_back(sorted[j++]);
    Region part;
    for (const RECT& r : row) part |= Region(r);
    parts.push_back(std::move(part));
    i = j;
  }
  while (parts.size() > 1) {
    std::vector<Region> next;
    for (size_t k = 0; k + 1 < parts.size(); k += 2) next.push_back(Combine(parts[k], parts[k + 1], Op::Or));
    if (parts.size() % 2) next.push_back(std::move(parts.back()));
    parts = std::move(next);
  }
  return parts.empty() ? Region() : std::move(parts.front());
}

RECT Region::Bounds() const {
  if (bands_.empty()) return RECT{0, 0, 0, 0};
  RECT r{bands_.front().spans.front().left, bands_.front().top, bands_.front().spans.back().right,
         bands_.back().bottom};
  for (const Band& band : bands_) {
    r.left = std::min(r.left, band.spans.front().left);
    r.right = std::max(r.right, band.spans.back().right);
  }
  return r;
}

bool Region::Contains(int x, int y) const {
  // Drawing asks this for every pixel of a shaped window: search, not walk.
  auto band = std::upper_bound(bands_.begin(), bands_.end(), y, [](int value, const Band& b) { return value < b.bottom; });
  if (band == bands_.end() || y < band->top) return false;
  auto span = std::upper_bound(band->spans.begin(), band->spans.end(), x,
                               [](int value, const Span& s) { return value < s.right; });
  return span != band->spans.end() && x >= span->left;
}

bool Region::Intersects(const RECT& rect) const {
  return !Combine(*this, Region(rect), Op::And).Empty();
}

std::vector<RECT> Region::Rects() const {
  std::vector<RECT> out;
  for (const Band& band : bands_)
    for (const Span& s : band.spans) out.push_back(RECT{s.left, band.top, s.right, band.bottom});
  return out;
}

size_t Region::RectCount() const {
  size_t n = 0;
  for (const Band& band : bands_) n += band.spans.size();
  return n;
}

void Region::Offset(int dx, int dy) {
  for (Band& band : bands_) {
    band.top += dy;
    band.bottom += dy;
    for (Span& s : band.spans) {
      s.left += dx;
      s.right += dx;
    }
  }
}

bool Region::operator==(const Region& other) const {
  if (bands_.size() != other.bands_.size()) return false;
  for (size_t i = 0; i < bands_.size(); ++i) {
    const Band& a = bands_[i];
    const Band& b = other.bands_[i];
    if (a.top != b.top || a.bottom != b.bottom || a.spans != b.spans) return false;
  }
  return true;
}

std::vector<Region::Span> Region::CombineSpans(const std::vector<Span>& a, const std::vector<Span>& b, Op op) {
  // Sweep the edges of both span lists left to right; between two edges
  // membership in a and b is constant.
  std::vector<int32_t> edges;
  edges.reserve(2 * (a.size() + b.size()));
  for (const Span& s : a) edges.insert(edges.end(), {s.left, s.right});
  for (const Span& s : b) edges.insert(edges.end(), {s.left, s.right});
  std::sort(edges.begin(), edges.end());
  edges.erase(std::unique(edges.begin(), edges.end()), edges.end());

  std::vector<Span> out;
  size_t ia = 0, ib = 0;
  for (size_t k = 0; k + 1 < edges.size(); ++k) {
    int32_t x = edges[k];
    while (ia < a.size() && a[ia].right <= x) ++ia;
    while (ib < b.size() && b[ib].right <= x) ++ib;
    bool inA = ia < a.size() && a[ia].left <= x;
    bool inB = ib < b.size() && b[ib].left <= x;
    if (!Wanted(inA, inB, op)) continue;
    if (!out.empty() && out.back().right == x)
      out.back().right = edges[k + 1];
    else
      out.push_back({x, edges[k + 1]});
  }
  return out;
}

void Region::AppendBand(int32_t top, int32_t bottom, std::vector<Span> spans) {
  if (spans.empty() || top >= bottom) return;
  if (!bands_.empty() && bands_.back().bottom == top && bands_.back().spans == spans) {
    bands_.back().bottom = bottom;
    return;
  }
  bands_.push_back({top, bottom, std::move(spans)});
}

bool Region::CoversAll(const Region& other) const {
  if (!IsRect()) return false;
  if (other.Empty()) return true;
  const RECT inner = other.Bounds();
  const Band& band = bands_.front();
  const Span& span = band.spans.front();
  return inner.left >= span.left && inner.right <= span.right && inner.top >= band.top && inner.bottom <= band.bottom;
}

bool Region::Combined(const Region& a, const Region& b, Op op, Region* out) {
  // Clipping mostly meets an empty region, one rectangle, or a rectangle
  // around the other region; a region is always kept in its one canonical
  // form, so these answers equal what the sweep below makes.
  // A window's visible region is clipped by itself on every copy to the
  // screen.
  if ((op == Op::And || op == Op::Or) && a == b) {
    *out = a;
    return true;
  }
  switch (op) {
    case Op::And:
      if (a.Empty() || b.Empty()) {
        *out = Region();
      } else if (b.CoversAll(a)) {
        *out = a;
      } else if (a.CoversAll(b)) {
        *out = b;
      } else if (a.IsRect() && b.IsRect()) {
        const RECT ra = a.Bounds();
        const RECT rb = b.Bounds();
        *out = Region(RECT{std::max(ra.left, rb.left), std::max(ra.top, rb.top), std::min(ra.right, rb.right),
                           std::min(ra.bottom, rb.bottom)});
      } else {
        return false;
      }
      return true;
    case Op::Or:
    case Op::Xor:
      if (b.Empty()) {
        *out = a;
      } else if (a.Empty()) {
        *out = b;
      } else {
        return false;
      }
      return true;
    case Op::Diff:
      if (a.Empty() || b.CoversAll(a)) {
        *out = Region();
      } else if (b.Empty()) {
        *out = a;
      } else {
        return false;
      }
      return true;
  }
  return false;
}

Region& Region::operator&=(const Region& other) {
  // The usual clip: this region already lies within the rectangle.
  if (other.CoversAll(*this)) return *this;
  return *this = Combine(*this, other, Op::And);
}

Region Region::Combine(const Region& a, const Region& b, Op op) {
  if (Region quick; Combined(a, b, op, &quick)) return quick;
  std::vector<int32_t> ys;
  ys.reserve(2 * (a.bands_.size() + b.bands_.size()));
  for (const Band& band : a.bands_) ys.insert(ys.end(), {band.top, band.bottom});
  for (const Band& band : b.bands_) ys.insert(ys.end(), {band.top, band.bottom});
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());

  static const std::vector<Span> kNone;
  Region out;
  size_t ia = 0, ib = 0;
  for (size_t k = 0; k + 1 < ys.size(); ++k) {
    int32_t y = ys[k];
    while (ia < a.bands_.size() && a.bands_[ia].bottom <= y) ++ia;
    while (ib < b.bands_.size() && b.bands_[ib].bottom <= y) ++ib;
    const auto& spansA = ia < a.bands_.size() && a.bands_[ia].top <= y ? a.bands_[ia].spans : kNone;
    const auto& spansB = ib < b.bands_.size() && b.bands_[ib].top <= y ? b.bands_[ib].spans : kNone;
    out.AppendBand(y, ys[k + 1], CombineSpans(spansA, spansB, op));
  }
  return out;
}

}  // namespace twl
