#include "ScreenInbox.h"

#include <algorithm>

namespace twl::qt {

namespace {

void AddArea(std::vector<std::pair<HWND, RECT>>& pixels, HWND window, const RECT& area) {
  if (area.right <= area.left || area.bottom <= area.top) return;
  auto found = std::find_if(pixels.begin(), pixels.end(), [&](const auto& entry) { return entry.first == window; });
  if (found == pixels.end()) {
    pixels.emplace_back(window, area);
    return;
  }
  RECT& r = found->second;
  r = RECT{std::min(r.left, area.left), std::min(r.top, area.top), std::max(r.right, area.right),
           std::max(r.bottom, area.bottom)};
}

}  // namespace

void ScreenInbox::File(const TWLSCREENEVENT& event) {
  bool wake = false;
  {
    std::lock_guard guard(lock_);
    switch (event.kind) {
      case TWL_SCREEN_PIXELS: AddArea(waiting_.pixels, event.window, event.rect); break;
      case TWL_SCREEN_CURSOR: waiting_.cursor = true; break;
      case TWL_SCREEN_TRAY: waiting_.tray = true; break;
      default: waiting_.changes.push_back(event); break;
    }
    wake = !wakeSent_;
    wakeSent_ = true;
  }
  if (wake) wake_();
}

ScreenInbox::Batch ScreenInbox::TakeAll() {
  std::lock_guard guard(lock_);
  Batch taken = std::move(waiting_);
  waiting_ = Batch{};
  wakeSent_ = false;
  return taken;
}

}  // namespace twl::qt
