#include "WindowLayout.h"

#include <unordered_map>

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

// What the screen layout is made of, one entry a window in the order the
// layout walks them: every screen copy asks for the layout, and windows
// seldom move between two copies, so the layout is made again only when
// one of these differs.
struct LayoutInput {
  uint32_t id = 0;
  bool found = false;
  DWORD style = 0;
  DWORD exStyle = 0;
  RECT rect{};
  bool messageOnly = false;
  bool destroying = false;
  std::optional<Region> shape;

  bool Matches(uint32_t otherId, const Window* w) const {
    if (id != otherId || found != (w != nullptr)) return false;
    if (!w) return true;
    return style == w->style && exStyle == w->exStyle && rect.left == w->rect.left && rect.top == w->rect.top &&
           rect.right == w->rect.right && rect.bottom == w->rect.bottom &&
           messageOnly == w->messageOnly && destroying == w->destroying && shape == w->shape;
  }
  void Take(uint32_t otherId, const Window* w) {
    id = otherId;
    found = w != nullptr;
    if (!w) return;
    style = w->style;
    exStyle = w->exStyle;
    rect = w->rect;
    messageOnly = w->messageOnly;
    destroying = w->destroying;
    shape = w->shape;
  }
};

// The last screen layout and what it was made of; guarded by the window
// model's lock.
struct LayoutCache {
  std::vector<LayoutInput> inputs;
  size_t used = 0;
  bool changed = true;
  std::shared_ptr<const std::vector<VisiblePiece>> pieces;
  // What each window showed (window coordinates) in the layout last looked
  // at for uncovered parts.
  std::shared_ptr<const std::vector<VisiblePiece>> shownFrom;
  std::unordered_map<uint32_t, Region> shown;

  void Note(uint32_t id, const Window* w) {
    if (used < inputs.size() && inputs[used].Matches(id, w)) {
      ++used;
      return;
    }
    changed = true;
    if (used == inputs.size()) inputs.emplace_back();
    inputs[used++].Take(id, w);
  }
  // The same walk as LayOutLocked, noting each window it looks at.
  void NoteTreeLocked(const Window& w) {
    for (uint32_t childId : w.children) {
      const Window* child = FindLocked(childId);
      Note(childId, child);
      if (child && (child->style & WS_VISIBLE)) NoteTreeLocked(*child);
    }
  }
};

LayoutCache& Cache() {
  static auto* cache = new LayoutCache;
  return *cache;
}

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

namespace {

std::shared_ptr<const std::vector<VisiblePiece>> SharedScreenLayoutLocked() {
  LayoutCache& cache = Cache();
  const std::vector<uint32_t> topLevels = LocalTopLevelsLocked();
  cache.used = 0;
  for (uint32_t id : topLevels) {
    const Window* w = FindLocked(id);
    cache.Note(id, w);
    if (w && ShowsLocked(*w)) cache.NoteTreeLocked(*w);
  }
  if (cache.used != cache.inputs.size()) {
    cache.changed = true;
    cache.inputs.resize(cache.used);
  }
  if (!cache.changed && cache.pieces) return cache.pieces;

  auto pieces = std::make_shared<std::vector<VisiblePiece>>();
  Region covered;
  for (uint32_t id : topLevels) {
    const Window* w = FindLocked(id);
    if (w && ShowsLocked(*w)) LayOutLocked(*w, nullptr, covered, *pieces);
  }
  cache.pieces = std::move(pieces);
  cache.changed = false;
  return cache.pieces;
}

}  // namespace

std::shared_ptr<const std::vector<VisiblePiece>> SharedScreenLayout() {
  Guard guard(Lock());
  return SharedScreenLayoutLocked();
}

std::vector<VisiblePiece> ScreenLayout() { return *SharedScreenLayout(); }

namespace {

// Adds part of a window (window coordinates) to its update region.
void InvalidateWindowPartLocked(Window& w, Region part) {
  RECT screen = ScreenRectLocked(w);
  RECT client = ClientScreenRectLocked(w);
  part.Offset(screen.left - client.left, screen.top - client.top);
  part &= Region(ClientRectLocked(w));
  if (part.Empty()) return;
  w.update |= part;
  w.eraseNeeded = true;
  if (ThreadQueue* queue = QueueLocked(w.threadId)) queue->wake.notify_all();
}

}  // namespace

void InvalidateUncoveredLocked() {
  LayoutCache& cache = Cache();
  auto pieces = SharedScreenLayoutLocked();
  if (pieces == cache.shownFrom) return;
  std::unordered_map<uint32_t, Region> shown;
  for (const VisiblePiece& piece : *pieces) {
    Region part = piece.visible;
    part.Offset(-piece.origin.x, -piece.origin.y);
    auto before = cache.shown.find(piece.id);
    Region gained = before == cache.shown.end() ? part : Region::Combine(part, before->second, Region::Op::Diff);
    if (Window* w = FindLocked(piece.id); w && !gained.Empty()) InvalidateWindowPartLocked(*w, std::move(gained));
    shown.emplace(piece.id, std::move(part));
  }
  cache.shown = std::move(shown);
  cache.shownFrom = std::move(pieces);
}

std::vector<VisiblePiece> WindowTreeLayout(HWND window) {
  std::vector<VisiblePiece> pieces;
  Region covered;
  Guard guard(Lock());
  if (const Window* w = FindLocked(window)) LayOutLocked(*w, nullptr, covered, pieces);
  return pieces;
}

Region VisibleRegion(HWND window) {
  const auto pieces = SharedScreenLayout();
  for (const VisiblePiece& piece : *pieces)
    if (piece.id == IdOf(window)) return piece.visible;
  return Region();
}

}  // namespace twl::user
