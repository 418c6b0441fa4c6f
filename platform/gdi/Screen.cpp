#include "Screen.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "WindowSurfaces.h"
#include "platform/user/DisplayMode.h"
#include "platform/user/ScreenEvents.h"
#include "platform/user/WindowLayout.h"
#include "twlwin/gdi.h"

namespace twl::gdi {
namespace {

uint32_t Word(COLORREF c) {
  return (static_cast<uint32_t>(GetRValue(c)) << 16) | (static_cast<uint32_t>(GetGValue(c)) << 8) | GetBValue(c);
}

uint32_t* RowAt(uint32_t* rows, size_t stride, int y) {
  return reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(rows) + stride * static_cast<size_t>(y));
}

const uint32_t* RowAt(const uint32_t* rows, size_t stride, int y) {
  return reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(rows) + stride * static_cast<size_t>(y));
}

bool Inside(const RECT& area, const RECT& bounds) {
  return area.left >= bounds.left && area.top >= bounds.top && area.right <= bounds.right &&
         area.bottom <= bounds.bottom && area.left <= area.right && area.top <= area.bottom;
}

// Caller rows: `rows` holds the pixel at (area.left, area.top) of some
// coordinate space; the pieces use the same space.
struct Rows {
  RECT area;
  size_t stride;
};

// Copies what a window shows in `part` out of its buffer into the rows.
// Buffer pixels the window never had (a buffer not yet made or resized)
// show as unpainted.
void CopyOut(const user::VisiblePiece& piece, POINT origin, const Region& part, uint32_t* rows, const Rows& at) {
  auto buffer = FindWindowBuffer(piece.id);
  const uint32_t unpainted = Word(UnpaintedColour());
  std::unique_lock<std::mutex> hold;
  const Bitmap* pixels = nullptr;
  if (buffer) {
    hold = std::unique_lock(buffer->lock);
    pixels = buffer->pixels.get();
  }
  for (const RECT& r : part.Rects()) {
    for (int y = r.top; y < r.bottom; ++y) {
      uint32_t* out = RowAt(rows, at.stride, y - at.area.top) + (r.left - at.area.left);
      int by = y - origin.y;
      int from = r.left - origin.x;
      int to = r.right - origin.x;
      int have = pixels && by >= 0 && by < pixels->Height() ? std::clamp(pixels->Width(), from, to) : from;
      if (have > from) std::memcpy(out, pixels->Row(by) + static_cast<size_t>(from) * 4, static_cast<size_t>(have - from) * 4);
      std::fill(out + (have - from), out + (to - from), unpainted);
    }
  }
}

void Fill(const Region& part, uint32_t value, uint32_t* rows, const Rows& at) {
  for (const RECT& r : part.Rects())
    for (int y = r.top; y < r.bottom; ++y) {
      uint32_t* out = RowAt(rows, at.stride, y - at.area.top) + (r.left - at.area.left);
      std::fill(out, out + (r.right - r.left), value);
    }
}

// Composes the pieces over `at.area`; what no piece covers gets `rest`.
void Compose(const std::vector<user::VisiblePiece>& pieces, POINT shift, uint32_t rest, uint32_t* rows,
             const Rows& at) {
  Region uncovered(at.area);
  for (const user::VisiblePiece& piece : pieces) {
    Region visible = piece.visible;
    visible.Offset(-shift.x, -shift.y);
    Region part = Region::Combine(visible, Region(at.area), Region::Op::And);
    if (part.Empty()) continue;
    uncovered -= part;
    CopyOut(piece, POINT{piece.origin.x - shift.x, piece.origin.y - shift.y}, part, rows, at);
  }
  Fill(uncovered, rest, rows, at);
}

// Puts the pixels of `part` (screen coordinates) into the window's buffer.
void CopyIn(HWND window, const Region& part, const uint32_t* rows, const Rows& at) {
  std::shared_ptr<WindowBuffer> buffer;
  user::WindowFrame frame;
  if (!OpenWindowBuffer(window, &buffer, &frame)) return;
  POINT origin{frame.screen.left, frame.screen.top};
  RECT changed{0, 0, 0, 0};
  {
    std::lock_guard hold(buffer->lock);
    Bitmap& pixels = *buffer->pixels;
    Region inBuffer = Region::Combine(part, Region(RECT{origin.x, origin.y, origin.x + pixels.Width(),
                                                        origin.y + pixels.Height()}),
                                      Region::Op::And);
    for (const RECT& r : inBuffer.Rects()) {
      for (int y = r.top; y < r.bottom; ++y) {
        const uint32_t* in = RowAt(rows, at.stride, y - at.area.top) + (r.left - at.area.left);
        std::memcpy(pixels.Row(y - origin.y) + static_cast<size_t>(r.left - origin.x) * 4, in,
                    static_cast<size_t>(r.right - r.left) * 4);
      }
    }
    changed = inBuffer.Bounds();
  }
  OffsetRect(&changed, -origin.x, -origin.y);
  if (changed.right > changed.left) user::TellPixelsChanged(frame.id, changed);
}

RECT ScreenRect() {
  user::DisplayMode mode = user::CurrentDisplayMode();
  return RECT{0, 0, mode.width, mode.height};
}

}  // namespace

bool ReadScreen(const RECT& area, uint32_t* rows, size_t stride) {
  if (!rows || !Inside(area, ScreenRect())) return false;
  Compose(*user::SharedScreenLayout(), POINT{0, 0}, Word(GetSysColor(COLOR_BACKGROUND)), rows, Rows{area, stride});
  return true;
}

bool WriteScreen(const RECT& area, const uint32_t* rows, size_t stride, const ScreenTarget& target) {
  if (!rows || !Inside(area, ScreenRect())) return false;
  Region limit(area);
  if (target.clip) limit &= *target.clip;
  const auto pieces = user::SharedScreenLayout();
  for (const user::VisiblePiece& piece : *pieces) {
    if (target.window && piece.id != static_cast<uint32_t>(reinterpret_cast<uintptr_t>(target.window))) continue;
    Region part = Region::Combine(piece.visible, limit, Region::Op::And);
    if (!part.Empty()) CopyIn(reinterpret_cast<HWND>(static_cast<uintptr_t>(piece.id)), part, rows, Rows{area, stride});
  }
  return true;
}

bool ReadWindow(HWND window, const RECT& area, uint32_t* rows, size_t stride) {
  user::WindowFrame frame;
  if (!rows || !user::DescribeWindow(window, &frame)) return false;
  RECT whole{0, 0, frame.screen.right - frame.screen.left, frame.screen.bottom - frame.screen.top};
  if (!Inside(area, whole)) return false;
  Compose(user::WindowTreeLayout(window), POINT{frame.screen.left, frame.screen.top}, 0, rows, Rows{area, stride});
  return true;
}

std::shared_ptr<Bitmap> ComposeScreen() {
  RECT screen = ScreenRect();
  auto bitmap = Bitmap::CreateDdb(screen.right, screen.bottom, false);
  if (!bitmap) return nullptr;
  ReadScreen(screen, reinterpret_cast<uint32_t*>(bitmap->Row(0)), static_cast<size_t>(bitmap->Stride()));
  return bitmap;
}

std::shared_ptr<Bitmap> ComposeWindow(HWND window) {
  user::WindowFrame frame;
  if (!user::DescribeWindow(window, &frame)) return nullptr;
  RECT whole{0, 0, frame.screen.right - frame.screen.left, frame.screen.bottom - frame.screen.top};
  auto bitmap = Bitmap::CreateDdb(std::max<int>(1, whole.right), std::max<int>(1, whole.bottom), false);
  if (!bitmap) return nullptr;
  whole.right = std::min<LONG>(whole.right, bitmap->Width());
  whole.bottom = std::min<LONG>(whole.bottom, bitmap->Height());
  ReadWindow(window, whole, reinterpret_cast<uint32_t*>(bitmap->Row(0)), static_cast<size_t>(bitmap->Stride()));
  return bitmap;
}

}  // namespace twl::gdi
