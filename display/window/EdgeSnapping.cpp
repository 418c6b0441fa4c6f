// Edge snapping: a moved window's outline sticks to the edges of other
// top-level windows that can be seen, and to the work area's edges.
#include <climits>
#include <cstdlib>
#include <vector>

#include "display/window/Window.h"

namespace {

// A segment of an edge: x1 == x2 (vertical) or y1 == y2 (horizontal),
// ends inclusive.
struct Segment {
  LONG x1, y1, x2, y2;
  bool vertical;
};

bool Meets(const Segment& s, const RECT& q) {
  return s.x1 < q.right && s.x2 > q.left && s.y1 < q.bottom && s.y2 > q.top;
}

// Whether any part of the segment is not covered by the rectangles from
// `first` on; the first rectangle it meets splits it in two.
bool IsSegmentVisible(const Segment& s, const std::vector<RECT>& covering, size_t first) {
  for (size_t index = first; index < covering.size(); ++index) {
    const RECT& q = covering[index];
    if (!Meets(s, q)) continue;
    bool visible = false;
    if (s.vertical) {
      if (s.y2 >= q.bottom) visible = IsSegmentVisible({s.x1, q.bottom, s.x2, s.y2, true}, covering, index + 1);
      if (!visible && s.y1 < q.top) visible = IsSegmentVisible({s.x1, s.y1, s.x2, q.top - 1, true}, covering, index + 1);
    } else {
      if (s.x2 >= q.right) visible = IsSegmentVisible({q.right, s.y1, s.x2, s.y2, false}, covering, index + 1);
      if (!visible && s.x1 < q.left) visible = IsSegmentVisible({s.x1, s.y1, q.left - 1, s.y2, false}, covering, index + 1);
    }
    return visible;
  }
  return true;
}

// The part of an edge beside the moved rectangle, tested for visibility.
bool IsEdgeVisibleAlong(Segment s, const RECT& moved, const std::vector<RECT>& covering) {
  if (s.vertical) {
    if (!(s.y1 < moved.bottom && s.y2 > moved.top)) return false;
    s.y1 = std::max(s.y1, moved.top);
    s.y2 = std::min(s.y2, moved.bottom - 1);
  } else {
    if (!(s.x1 < moved.right && s.x2 > moved.left)) return false;
    s.x1 = std::max(s.x1, moved.left);
    s.x2 = std::min(s.x2, moved.right - 1);
  }
  return IsSegmentVisible(s, covering, 0);
}

struct Best {
  int distance = INT_MAX;
  int target = 0;
  void Offer(int d, int to, int limit) {
    if (d < distance && d <= limit) {
      distance = d;
      target = to;
    }
  }
};

bool IsExcluded(HWND window, const HWND* excluded, int count) {
  for (int index = 0; index < count; ++index)
    if (excluded[index] == window) return true;
  return false;
}

}  // namespace

void CWindow::SnapToEdges(int& x, int& y, HWND window, const HWND* excluded, int excludedCount, int distance) {
  RECT moved{};
  GetWindowRect(window, &moved);
  const int width = moved.right - moved.left;
  const int height = moved.bottom - moved.top;
  moved = RECT{x, y, x + width, y + height};
  Best left, top, right, bottom;
  std::vector<RECT> covering;
  for (HWND other = GetTopWindow(nullptr); other; other = GetWindow(other, GW_HWNDNEXT)) {
    RECT o{};
    if (other == window) {
      if (GetWindowRect(other, &o)) covering.push_back(o);
      continue;
    }
    if (IsExcluded(other, excluded, excludedCount) || !IsWindowVisible(other) || !GetWindowRect(other, &o) ||
        o.right - o.left <= 0 || o.bottom - o.top <= 0)
      continue;
    auto offer = [&](Best& best, LONG from, LONG to, const Segment& edge) {
      const int d = std::abs(static_cast<int>(from - to));
      if (d < best.distance && d <= distance && IsEdgeVisibleAlong(edge, moved, covering)) best.Offer(d, to, distance);
    };
    offer(left, moved.left, o.right, {o.right, o.top, o.right, o.bottom, true});
    offer(top, moved.top, o.bottom, {o.left, o.bottom, o.right, o.bottom, false});
    offer(right, moved.right, o.left, {o.left, o.top, o.left, o.bottom, true});
    offer(bottom, moved.bottom, o.top, {o.left, o.top, o.right, o.top, false});
    covering.push_back(o);
  }
  RECT work{};
  if (SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0)) {
    left.Offer(std::abs(static_cast<int>(work.left - moved.left)), work.left, distance);
    top.Offer(std::abs(static_cast<int>(work.top - moved.top)), work.top, distance);
    right.Offer(std::abs(static_cast<int>(work.right - moved.right)), work.right, distance);
    bottom.Offer(std::abs(static_cast<int>(work.bottom - moved.bottom)), work.bottom, distance);
  }
  if (left.distance <= distance || right.distance <= distance)
    x = left.distance <= right.distance ? left.target : right.target - width;
  if (top.distance <= distance || bottom.distance <= distance)
    y = top.distance <= bottom.distance ? top.target : bottom.target - height;
}
