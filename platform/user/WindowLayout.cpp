#include "WindowLayout.h"

#include "WindowManager.h"

namespace twl::user {

namespace {

Region OwnAreaOnScreenLocked(const Window& w) {
  RECT r = ScreenRectLocked(w);
  Region area(r);
  if (!w.shape) return area;
  Region shape = *w.shape;
  shape.Offset(r.left, r.top);
  return Region::Combine(shape, area, Region::Op::And);
}

// Lays out a window and, before it, its children, topmost first. `limit` is
// what its ancestors leave it (none for a top-level window); `covered` is
// the part of the screen already taken by windows above.
void LayOutLocked(const Window& w, const Region* limit, Region& covered, std::vector<VisiblePiece>& out) {
  Region available = OwnAreaOnScreenLocked(w);
  if (limit) available &= *limit;
  Region childLimit = Region::Combine(available, Region(ClientScreenRectLocked(w)), Region::Op::And);
  for (uint32_t childId : w.children) {
    const Window* child = FindLocked(childId);
    if (child && (child->style & WS_VISIBLE)) LayOutLocked(*child, &childLimit, covered, out);
  }
  RECT r = ScreenRectLocked(w);
  VisiblePiece piece;
  piece.id = w.id;
  piece.root = RootLocked(w.id);
  piece.origin = POINT{r.left, r.top};
  piece.visible = Region::Combine(available, covered, Region::Op::Diff);
  covered |= available;
  if (!piece.visible.Empty()) out.push_back(std::move(piece));
}

bool ShowsLocked(const Window& w) { return (w.style & WS_VISIBLE) && !w.messageOnly && !w.destroying; }

}  // namespace

bool DescribeWindow(HWND window, WindowFrame* frame) {
  Guard guard(Lock());
  const Window* w = FindLocked(window);
  if (!w) return false;
  frame->id = w->id;
  frame->root = RootLocked(w->id);
  frame->screen = ScreenRectLocked(*w);
  RECT client = ClientScreenRectLocked(*w);
  frame->client = RECT{client.left - frame->screen.left, client.top - frame->screen.top,
                       client.right - frame->screen.left, client.bottom - frame->screen.top};
  frame->shape = w->shape;
  frame->visible = IsVisibleLocked(*w);
  return true;
}

Region OwnArea(const WindowFrame& frame) {
  Region area(RECT{0, 0, frame.screen.right - frame.screen.left, frame.screen.bottom - frame.screen.top});
  return frame.shape ? Region::Combine(*frame.shape, area, Region::Op::And) : area;
}

std::vector<VisiblePiece> ScreenLayout() {
  std::vector<VisiblePiece> pieces;
  Region covered;
  Guard guard(Lock());
  for (uint32_t id : LocalTopLevelsLocked()) {
    const Window* w = FindLocked(id);
    if (w && ShowsLocked(*w)) LayOutLocked(*w, nullptr, covered, pieces);
  }
  return pieces;
}

std::vector<VisiblePiece> WindowTreeLayout(HWND window) {
  std::vector<VisiblePiece> pieces;
  Region covered;
  Guard guard(Lock());
  if (const Window* w = FindLocked(window)) LayOutLocked(*w, nullptr, covered, pieces);
  return pieces;
}

Region VisibleRegion(HWND window) {
  for (VisiblePiece& piece : ScreenLayout())
    if (piece.id == IdOf(window)) return std::move(piece.visible);
  return Region();
}

}  // namespace twl::user
