#include "DisplayMode.h"

#include "WindowManager.h"

namespace twl::user {

namespace {

constexpr int kMaxSide = 16384;

bool ValidMode(int width, int height, int bitsPerPixel) {
  // 4 bits: a 16-colour display, which programs must be able to meet and refuse.
  bool depthOk = bitsPerPixel == 4 || bitsPerPixel == 8 || bitsPerPixel == 16 || bitsPerPixel == 24 ||
                 bitsPerPixel == 32;
  return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide && depthOk;
}

}  // namespace

DisplayMode CurrentDisplayMode() {
  Guard guard(Lock());
  const Screen& screen = Model().screen;
  return DisplayMode{screen.width, screen.height, screen.bitsPerPixel, screen.modeGeneration};
}

bool ChangeDisplayMode(int width, int height, int bitsPerPixel) {
  std::vector<std::pair<uint32_t, DWORD>> windows;  // id, thread
  DisplayMode mode;
  {
    Guard guard(Lock());
    Screen& screen = Model().screen;
    mode.width = width ? width : screen.width;
    mode.height = height ? height : screen.height;
    mode.bitsPerPixel = bitsPerPixel ? bitsPerPixel : screen.bitsPerPixel;
    if (!ValidMode(mode.width, mode.height, mode.bitsPerPixel)) return false;
    screen.width = mode.width;
    screen.height = mode.height;
    screen.bitsPerPixel = mode.bitsPerPixel;
    screen.workArea = RECT{0, 0, mode.width, mode.height};
    mode.generation = ++screen.modeGeneration;
    for (uint32_t id : LocalTopLevelsLocked())
      if (const Window* w = FindLocked(id)) windows.emplace_back(id, w->threadId);
  }
  const WPARAM depth = static_cast<WPARAM>(mode.bitsPerPixel);
  const LPARAM size = MAKELPARAM(static_cast<WORD>(mode.width), static_cast<WORD>(mode.height));
  // Another thread may be waiting for this one: it hears of the change when
  // it next takes messages, and nobody waits for it.
  for (auto [id, threadId] : windows) {
    HWND window = HwndOf(id);
    RunOnThread(threadId, [window, depth, size] { Deliver(window, WM_DISPLAYCHANGE, depth, size); });
  }
  return true;
}

}  // namespace twl::user
