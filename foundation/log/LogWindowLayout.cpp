#include "foundation/log/LogWindowLayout.h"

#include <algorithm>

namespace {

constexpr int kMargin = 5;
constexpr int kAdvanced = 0;
constexpr int kSimple = 1;

}  // namespace

LogWindowPlacement PlaceLogWindowControls(DWORD mode, int clientWidth, int clientHeight,
                                          const LogWindowMetrics& metrics, LogWindowTextBlock top,
                                          LogWindowTextBlock bottom) {
  const int w = clientWidth;
  const int h = clientHeight;
  const int bh = metrics.buttonHeight;
  const int inner = w - 2 * kMargin;
  const int modeWidth = metrics.modeWidths[mode == kAdvanced ? kAdvanced : kSimple];
  LogWindowPlacement p;
  p.topText = {kMargin, kMargin, inner, top.height};
  const int listTop = top.gap + top.height + kMargin;
  if (mode != kAdvanced) {
    p.bottomText = {kMargin, h - bh - bottom.gap - bottom.height - kMargin, inner, bottom.height};
    p.list = {kMargin, listTop, inner, h - bh - bottom.gap - bottom.height - top.gap - top.height - 4 * kMargin};
    p.modeButton = {w - modeWidth - kMargin, h - bh - kMargin, modeWidth, bh};
    p.hideButton = {kMargin, h - bh - kMargin, w - modeWidth - 3 * kMargin, bh};
    p.quitButton = {kMargin, h - bh - kMargin, 0, bh};
    return p;
  }
  p.bottomText = {kMargin, h - 2 * bh - bottom.height - 3 * kMargin, inner, bottom.height};
  p.list = {kMargin, listTop, inner, h - 2 * bh - bottom.gap - bottom.height - top.gap - top.height - 4 * kMargin};
  p.modeButton = {w - modeWidth - kMargin, h - 2 * bh - 2 * kMargin, modeWidth, bh};
  const int half = (w - 3 * kMargin) / 2;
  p.hideButton = {kMargin, h - bh - kMargin, half, bh};
  p.quitButton = {half + 2 * kMargin, h - bh - kMargin, half, bh};
  return p;
}

SIZE LogWindowMinimumSize(const LogWindowMetrics& metrics, int topTextThird, int bottomTextThird) {
  const int contentWidth = std::max({2 * metrics.hideWidths[kAdvanced] + kMargin, metrics.modeWidths[kAdvanced],
                                     metrics.modeWidths[kSimple] + metrics.hideWidths[kSimple] + kMargin,
                                     topTextThird, bottomTextThird});
  const int width = contentWidth + 2 * kMargin + 2 * GetSystemMetrics(SM_CXBORDER) + 8;
  const int height = 6 * metrics.lineHeight + 2 * metrics.buttonHeight + 40 + GetSystemMetrics(SM_CYCAPTION) +
                     2 * GetSystemMetrics(SM_CYBORDER) + 8;
  return SIZE{width, height};
}
