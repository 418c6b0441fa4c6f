// A set of pixels as horizontal bands of sorted, disjoint spans: the value
// behind HRGN handles, window shapes and update regions. Combining two
// regions walks both band lists once. A plain value: no locking inside.
#pragma once

#include <cstdint>
#include <vector>

#include "twlwin/types.h"

namespace twl {

class Region {
 public:
  enum class Op { And, Or, Xor, Diff };

  Region() = default;
  explicit Region(const RECT& rect);
  // Any rectangles, overlapping or not; empty ones are ignored.
  static Region FromRects(const std::vector<RECT>& rects);

  bool Empty() const { return bands_.empty(); }
  RECT Bounds() const;
  bool Contains(int x, int y) const;
  bool Intersects(const RECT& rect) const;
  // The rectangles covering the region, top to bottom, left to right.
  std::vector<RECT> Rects() const;
  size_t RectCount() const;

  void Offset(int dx, int dy);
  static Region Combine(const Region& a, const Region& b, Op op);
  Region& operator|=(const Region& other) { return *this = Combine(*this, other, Op::Or); }
  Region& operator&=(const Region& other);
  Region& operator-=(const Region& other) { return *this = Combine(*this, other, Op::Diff); }
  bool operator==(const Region& other) const;

 private:
  struct Span {
    int32_t left, right;
    bool operator==(const Span&) const = default;
  };
  struct Band {
    int32_t top, bottom;
    std::vector<Span> spans;
  };

  bool IsRect() const { return bands_.size() == 1 && bands_.front().spans.size() == 1; }
  // True when this region is one rectangle holding every pixel of `other`.
  bool CoversAll(const Region& other) const;
  static bool Combined(const Region& a, const Region& b, Op op, Region* out);
  static std::vector<Span> CombineSpans(const std::vector<Span>& a, const std::vector<Span>& b, Op op);
  void AppendBand(int32_t top, int32_t bottom, std::vector<Span> spans);

  std::vector<Band> bands_;
};

}  // namespace twl
