// Where windows are and which of their pixels show, for the drawing side,
// the screen and a presenter: snapshots of the window model that need
// neither its internals nor its lock. Each function takes the window
// model's lock briefly; none may be called with it held.
//
// A window's own area is its rectangle cut to its shape (SetWindowRgn):
// pixels outside the shape are not the window's. Its visible region is the
// part of the screen where its own pixels show:
//   its own area,
//   within the client area and the own area of each of its ancestors,
//   minus every window above it (higher siblings, higher siblings of its
//     ancestors, higher top-level windows),
//   minus its visible children.
// Children are always cut out of their parents (every window behaves as if
// it had WS_CLIPCHILDREN and WS_CLIPSIBLINGS): each window keeps a pixel
// buffer of its own and a child's pixels lie over its parent's. Hidden
// windows and everything below them have no visible region. Only this
// process's windows make up its screen; windows of other processes of the
// desktop neither show on it nor cover its windows.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "Region.h"
#include "twlwin/types.h"

namespace twl::user {

struct WindowFrame {
  uint32_t id = 0;
  uint32_t root = 0;            // its top-level window (itself for one)
  RECT screen{};                // the window rectangle, screen coordinates
  RECT client{};                // the client area, window coordinates
  std::optional<Region> shape;  // window coordinates; none: the whole rectangle
  bool visible = false;         // the window and all its ancestors are shown
};

// False for a window this process does not have.
bool DescribeWindow(HWND window, WindowFrame* frame);
// The frame's own area in window coordinates: its rectangle cut to its shape.
Region OwnArea(const WindowFrame& frame);

// One window as it shows: its pixel buffer's corner on the screen and the
// screen pixels that are its own.
struct VisiblePiece {
  uint32_t id = 0;
  uint32_t root = 0;
  POINT origin{};  // screen position of the window's corner, its buffer's 0,0
  Region visible;  // screen coordinates
};

// Every window of this process that shows, topmost first (children before
// their parents). The visible regions are disjoint; together they are the
// part of the screen the process's windows cover.
std::vector<VisiblePiece> ScreenLayout();
// The same, shared: made again only when a window it depends on changed,
// so that copies to the screen need not lay out every window each time.
std::shared_ptr<const std::vector<VisiblePiece>> SharedScreenLayout();
// A window and everything below it as if nothing covered them, and as if it
// were not cut to its ancestors: what the window looks like by itself (a
// presenter's real window, a window dump). Empty for an unknown window.
std::vector<VisiblePiece> WindowTreeLayout(HWND window);
// The visible region of one window, screen coordinates; empty for a hidden
// or unknown window.
Region VisibleRegion(HWND window);

}  // namespace twl::user
