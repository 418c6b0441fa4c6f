#include "WindowSurfaces.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "platform/user/PaintDevice.h"
#include "twlwin/gdi.h"

namespace twl::gdi {
namespace {

struct Buffers {
  std::mutex lock;
  std::unordered_map<uint32_t, std::shared_ptr<WindowBuffer>> byWindow;
};

Buffers& AllBuffers() {
  static auto* buffers = new Buffers;
  return *buffers;
}

void FillRow(uint8_t* row, int from, int to, uint32_t value) {
  auto* pixels = reinterpret_cast<uint32_t*>(row);
  std::fill(pixels + from, pixels + to, value);
}

// A bitmap of the given size holding what still fits of `old`, the rest
// unpainted. Null when the size is impossible.
std::shared_ptr<Bitmap> Resized(const std::shared_ptr<Bitmap>& old, int width, int height) {
  auto made = Bitmap::CreateDdb(std::max(width, 1), std::max(height, 1), false);
  if (!made) return nullptr;
  COLORREF c = UnpaintedColour();
  uint32_t unpainted = (static_cast<uint32_t>(GetRValue(c)) << 16) | (GetGValue(c) << 8) | GetBValue(c);
  int keepWidth = old ? std::min(made->Width(), old->Width()) : 0;
  int keepHeight = old ? std::min(made->Height(), old->Height()) : 0;
  for (int y = 0; y < made->Height(); ++y) {
    int kept = y < keepHeight ? keepWidth : 0;
    if (kept) std::memcpy(made->Row(y), old->Row(y), static_cast<size_t>(kept) * 4);
    FillRow(made->Row(y), kept, made->Width(), unpainted);
  }
  return made;
}

}  // namespace

COLORREF UnpaintedColour() { return GetSysColor(COLOR_WINDOW); }

bool OpenWindowBuffer(HWND window, std::shared_ptr<WindowBuffer>* buffer, user::WindowFrame* frame) {
  if (!user::DescribeWindow(window, frame)) return false;
  std::shared_ptr<WindowBuffer> found;
  {
    Buffers& buffers = AllBuffers();
    std::lock_guard guard(buffers.lock);
    auto& slot = buffers.byWindow[frame->id];
    if (!slot) slot = std::make_shared<WindowBuffer>();
    found = slot;
  }
  int width = frame->screen.right - frame->screen.left;
  int height = frame->screen.bottom - frame->screen.top;
  std::lock_guard guard(found->lock);
  const auto& pixels = found->pixels;
  if (!pixels || pixels->Width() != std::max(width, 1) || pixels->Height() != std::max(height, 1)) {
    auto resized = Resized(pixels, width, height);
    if (!resized && !pixels) return false;
    if (resized) found->pixels = std::move(resized);
  }
  *buffer = std::move(found);
  return true;
}

std::shared_ptr<WindowBuffer> FindWindowBuffer(uint32_t window) {
  Buffers& buffers = AllBuffers();
  std::lock_guard guard(buffers.lock);
  auto found = buffers.byWindow.find(window);
  return found == buffers.byWindow.end() ? nullptr : found->second;
}

}  // namespace twl::gdi

namespace twl::user {

void ForgetWindowPixels(uint32_t window) {
  auto& buffers = gdi::AllBuffers();
  std::lock_guard guard(buffers.lock);
  buffers.byWindow.erase(window);
}

}  // namespace twl::user
