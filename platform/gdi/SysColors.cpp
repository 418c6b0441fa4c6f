// The flat light theme's system colours and their brushes.
#include <mutex>

#include "Objects.h"
#include "twlwin/errors.h"
#include "twlwin/gdi.h"

using namespace twl::gdi;

namespace {

constexpr int kColourCount = 31;

constexpr COLORREF kTheme[kColourCount] = {
    RGB(200, 200, 200),  // scroll bar
    RGB(58, 110, 165),   // desktop
    RGB(153, 180, 209),  // active caption
    RGB(191, 205, 219),  // inactive caption
    RGB(240, 240, 240),  // menu
    RGB(255, 255, 255),  // window
    RGB(100, 100, 100),  // window frame
    RGB(0, 0, 0),        // menu text
    RGB(0, 0, 0),        // window text
    RGB(0, 0, 0),        // caption text
    RGB(180, 180, 180),  // active border
    RGB(244, 247, 252),  // inactive border
    RGB(171, 171, 171),  // application workspace
    RGB(0, 120, 215),    // highlight
    RGB(255, 255, 255),  // highlight text
    RGB(240, 240, 240),  // button face
    RGB(160, 160, 160),  // button shadow
    RGB(109, 109, 109),  // grey text
    RGB(0, 0, 0),        // button text
    RGB(67, 78, 84),     // inactive caption text
    RGB(255, 255, 255),  // button highlight
    RGB(105, 105, 105),  // 3D dark shadow
    RGB(227, 227, 227),  // 3D light
    RGB(0, 0, 0),        // tooltip text
    RGB(255, 255, 225),  // tooltip background
    RGB(180, 180, 180),  // (unused)
    RGB(0, 102, 204),    // hot-tracked item
    RGB(185, 209, 234),  // gradient of the active caption
    RGB(215, 228, 242),  // gradient of the inactive caption
    RGB(0, 120, 215),    // menu highlight
    RGB(240, 240, 240),  // menu bar
};

}  // namespace

TWLAPI DWORD GetSysColor(int index) {
  if (index < 0 || index >= kColourCount) return 0;
  return kTheme[index];
}

TWLAPI HBRUSH GetSysColorBrush(int index) {
  static std::mutex lock;
  static HBRUSH brushes[kColourCount] = {};
  if (index < 0 || index >= kColourCount) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  std::lock_guard guard(lock);
  if (!brushes[index]) {
    auto brush = std::make_shared<Brush>(false, kTheme[index]);
    brush->stock = true;
    brushes[index] = static_cast<HBRUSH>(InsertObject(std::move(brush)));
  }
  return brushes[index];
}

namespace twl::gdi {

BrushColour ResolveBrush(HBRUSH handle) {
  auto value = reinterpret_cast<uintptr_t>(handle);
  if (value >= 1 && value <= kColourCount) return BrushColour{true, true, kTheme[value - 1]};
  auto brush = FindObjectAs<Brush>(handle);
  if (!brush) return BrushColour{};
  return BrushColour{true, !brush->hollow, brush->colour};
}

}  // namespace twl::gdi
