#include "WindowSurfaces.h"

#include <algorithm>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "twlwin/gdi.h"
#include "user/WindowManager.h"

namespace twl::gdi {
namespace {

struct Surfaces {
  std::mutex lock;
  std::unordered_map<uint32_t, std::shared_ptr<Bitmap>> byWindow;
};

Surfaces& All() {
  static auto* surfaces = new Surfaces;
  return *surfaces;
}

RECT Offset(RECT r, int dx, int dy) { return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy}; }

RECT Intersect(const RECT& a, const RECT& b) {
  RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
  if (r.right < r.left) r.right = r.left;
  if (r.bottom < r.top) r.bottom = r.top;
  return r;
}

// Window geometry in the window's own coordinates; window manager lock held.
void Geometry(const user::Window& w, RECT* window, RECT* client) {
  RECT screen = user::ScreenRectLocked(w);
  RECT clientScreen = user::ClientScreenRectLocked(w);
  *window = RECT{0, 0, screen.right - screen.left, screen.bottom - screen.top};
  *client = Offset(clientScreen, -screen.left, -screen.top);
}

std::shared_ptr<Bitmap> Resized(std::shared_ptr<Bitmap> old, int width, int height) {
  width = std::max(width, 1);
  height = std::max(height, 1);
  if (old && old->Width() == width && old->Height() == height) return old;
  auto made = Bitmap::CreateDdb(width, height, false);
  if (!made) return old;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) made->SetPixel(x, y, GetSysColor(COLOR_WINDOW));
  if (old) {
    for (int y = 0; y < std::min(height, old->Height()); ++y)
      for (int x = 0; x < std::min(width, old->Width()); ++x) made->SetPixel(x, y, old->GetPixel(x, y));
  }
  return made;
}

// Forgets the buffers of windows that are gone; both locks held.
void DropStale(Surfaces& surfaces) {
  for (auto it = surfaces.byWindow.begin(); it != surfaces.byWindow.end();) {
    if (user::FindLocked(it->first)) ++it;
    else it = surfaces.byWindow.erase(it);
  }
}

// A snapshot of a window tree for composing, taken under the lock.
struct Node {
  uint32_t id = 0;
  RECT window{};  // in the parent's client coordinates (screen for the root)
  RECT client{};  // in the window's own coordinates
  std::vector<Node> children;  // bottom first
};

Node Snapshot(const user::Window& w, RECT placed) {
  Node node;
  node.id = w.id;
  RECT ignored;
  Geometry(w, &ignored, &node.client);
  node.window = placed;
  for (auto it = w.children.rbegin(); it != w.children.rend(); ++it) {
    const user::Window* child = user::FindLocked(*it);
    if (!child || !(child->style & WS_VISIBLE)) continue;
    RECT childScreen = user::ScreenRectLocked(*child);
    RECT parentClient = user::ClientScreenRectLocked(w);
    node.children.push_back(Snapshot(*child, Offset(childScreen, -parentClient.left, -parentClient.top)));
  }
  return node;
}

void Paint(const Node& node, Bitmap& target, POINT origin, RECT clip) {
  std::shared_ptr<Bitmap> pixels;
  {
    std::lock_guard guard(All().lock);
    auto found = All().byWindow.find(node.id);
    if (found != All().byWindow.end()) pixels = found->second;
  }
  int width = node.window.right - node.window.left;
  int height = node.window.bottom - node.window.top;
  RECT area = Intersect(clip, RECT{origin.x, origin.y, origin.x + width, origin.y + height});
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      COLORREF c = pixels && pixels->Contains(x - origin.x, y - origin.y) ? pixels->GetPixel(x - origin.x, y - origin.y)
                                                                           : GetSysColor(COLOR_WINDOW);
      target.SetPixel(x, y, c);
    }
  }
  RECT client = Intersect(area, Offset(node.client, origin.x, origin.y));
  for (const Node& child : node.children) {
    POINT at{origin.x + node.client.left + child.window.left, origin.y + node.client.top + child.window.top};
    Paint(child, target, at, client);
  }
}

}  // namespace

bool FindWindowSurface(HWND handle, WindowSurface* out) {
  user::Guard guard(user::Lock());
  user::Window* w = user::FindLocked(handle);
  if (!w) return false;
  Geometry(*w, &out->window, &out->client);
  Surfaces& surfaces = All();
  std::lock_guard mine(surfaces.lock);
  auto& slot = surfaces.byWindow[w->id];
  if (!slot) DropStale(surfaces);
  slot = Resized(slot, out->window.right, out->window.bottom);
  out->surface = slot;
  return slot != nullptr;
}

std::shared_ptr<Bitmap> ComposeWindow(HWND handle) {
  Node root;
  {
    user::Guard guard(user::Lock());
    user::Window* w = user::FindLocked(handle);
    if (!w) return nullptr;
    RECT window;
    RECT client;
    Geometry(*w, &window, &client);
    root = Snapshot(*w, window);
  }
  auto target = Bitmap::CreateDdb(std::max<int>(1, root.window.right), std::max<int>(1, root.window.bottom), false);
  if (!target) return nullptr;
  Paint(root, *target, POINT{0, 0}, RECT{0, 0, target->Width(), target->Height()});
  return target;
}

std::shared_ptr<Bitmap> ComposeScreen() {
  std::vector<Node> windows;
  int width;
  int height;
  {
    user::Guard guard(user::Lock());
    width = user::Model().screen.width;
    height = user::Model().screen.height;
    std::vector<uint32_t> order = user::LocalTopLevelsLocked();
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
      user::Window* w = user::FindLocked(*it);
      if (!w || !(w->style & WS_VISIBLE) || w->messageOnly) continue;
      windows.push_back(Snapshot(*w, user::ScreenRectLocked(*w)));
    }
  }
  auto target = Bitmap::CreateDdb(width, height, false);
  if (!target) return nullptr;
  COLORREF desktop = GetSysColor(COLOR_BACKGROUND);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) target->SetPixel(x, y, desktop);
  RECT all{0, 0, width, height};
  for (const Node& node : windows) Paint(node, *target, POINT{node.window.left, node.window.top}, all);
  return target;
}

}  // namespace twl::gdi
