// What the aux window takes from the skin's frame: margins, colours, part
// sizes and steps; the size rules; the mapping between window and frame
// picture coordinates; transparency and the border hit test.
#include <cmath>

#include "display/auxwindow/AuxWindow.h"
#include "display/frames/FrameGeometry.h"
#include "display/skinrender/DDSkin.h"
#include "display/state/DisplayLock.h"
#include "display/window/WindowHost.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/errors/LocalText.h"
#include "foundation/errors/ThreadErrorState.h"
#include "skins/masks/Mask.h"

namespace {

// Skin colour set entries: text and background of each control colour index.
constexpr int kTextEntries[CAuxWindow::kColorCount] = {12, 21, 15, 24, 18};
constexpr int kBackEntries[CAuxWindow::kColorCount] = {11, 20, 14, 23, 17};

const CDDAuxWindowSkin* FrameOfSkin() {
  const CDDAuxWindowSkin& skin = GetWindowHost().GetDDSkin().GetAuxWindowSkin();
  for (int index = 0; index < CDDAuxWindowSkin::kPartCount; ++index)
    if (!skin.GetPart(index)) return nullptr;
  return &skin;
}

int WidthOf(const CDDAuxWindowSkin& skin, int part) { return static_cast<int>(skin.GetPart(part)->GetWidth()); }
int HeightOf(const CDDAuxWindowSkin& skin, int part) { return static_cast<int>(skin.GetPart(part)->GetHeight()); }

void SetSkinLostError() {
  SetThreadError(1, 0,
                 LocalText("CAuxWindow::ConvertCoordToUnstretched.SkinLost",
                           "Unable to convert coordinates because skin data is lost.")
                     .c_str());
}

}  // namespace

void CAuxWindow::ApplySkin() {
  {
    DisplayLockScope lock;
    CDDSkin& skin = GetWindowHost().GetDDSkin();
    const CDDAuxWindowSkin& aux = skin.GetAuxWindowSkin();
    for (int index = 0; index < 4; ++index) m_Margins[index] = aux.GetMargin(index);
    for (int index = 0; index < kColorCount; ++index) {
      m_TextColors[index] = skin.GetColorSet().GetSourceColor(kTextEntries[index]);
      m_BackColors[index] = skin.GetColorSet().GetSourceColor(kBackEntries[index]);
      m_Brushes[index] = GetWindowHost().GetBrush(index);
    }
    if (const CDDAuxWindowSkin* frame = FrameOfSkin()) {
      m_LeftPartWidth = WidthOf(*frame, 3);
      m_RightPartWidth = WidthOf(*frame, 5);
      m_TopPartHeight = HeightOf(*frame, 1);
      m_BottomPartHeight = HeightOf(*frame, 7);
      const bool tileAcross = frame->GetHorzExpansionType() == 1 && !frame->GetHorzExpansionCut();
      const bool tileDown = frame->GetVertExpansionType() == 1 && !frame->GetVertExpansionCut();
      m_HorizontalStep = tileAcross ? std::max(WidthOf(*frame, 4), 1) : 1;
      m_VerticalStep = tileDown ? std::max(HeightOf(*frame, 4), 1) : 1;
    } else {
      m_LeftPartWidth = m_RightPartWidth = m_TopPartHeight = m_BottomPartHeight = 1;
      m_HorizontalStep = m_VerticalStep = 1;
    }
  }
  CreateWindowRegion();
  InvalidateRect(nullptr);
  PostMessageA(GetWindowHandle(), kWindowPaintDirtyMessage, 0, 0);
  m_SkinApplied = true;
}

void CAuxWindow::ReleaseSkin(int) {
  for (int& margin : m_Margins) margin = 0;
  for (HBRUSH& brush : m_Brushes) brush = nullptr;
  m_LeftPartWidth = m_RightPartWidth = m_TopPartHeight = m_BottomPartHeight = 1;
  m_HorizontalStep = m_VerticalStep = 1;
  m_SkinApplied = false;
}

bool CAuxWindow::AdjustSize(int& width, int& height) const {
  const int oldWidth = width, oldHeight = height;
  if (width < m_MinWidth) width = m_MinWidth;
  if (height < m_MinHeight) height = m_MinHeight;
  auto toStep = [](int& size, int sides, int step) {
    if (step <= 1) return;
    const int remainder = (size - sides) % step;
    if (remainder > 0) size += step - remainder;
    else if (remainder < 0) size -= remainder;
  };
  toStep(width, m_LeftPartWidth + m_RightPartWidth, m_HorizontalStep);
  toStep(height, m_TopPartHeight + m_BottomPartHeight, m_VerticalStep);
  return width != oldWidth || height != oldHeight;
}

bool CAuxWindow::SetMinSize(int width, int height) {
  m_MinWidth = std::max(width, 2 * m_BorderSearchDepth);
  m_MinHeight = std::max(height, 2 * m_BorderSearchDepth);
  int newWidth = GetWidth(), newHeight = GetHeight();
  if (!AdjustSize(newWidth, newHeight)) return false;
  SetSize(newWidth, newHeight);
  return true;
}

bool CAuxWindow::SetMinClientSize(int width, int height) {
  return SetMinSize(width + m_Margins[0] + m_Margins[2], height + m_Margins[1] + m_Margins[3]);
}

bool CAuxWindow::FrameParts(int (&widths)[3], int (&heights)[3]) const {
  const CDDAuxWindowSkin* frame = FrameOfSkin();
  if (!frame) return false;
  for (int index = 0; index < 3; ++index) {
    widths[index] = WidthOf(*frame, 3 + index);
    heights[index] = HeightOf(*frame, 1 + 3 * index);
  }
  return true;
}

bool CAuxWindow::ConvertCoordToUnstretched(int& x, int& y, int width, int height) const {
  DisplayLockScope lock;
  int widths[3], heights[3];
  if (!FrameParts(widths, heights)) {
    SetSkinLostError();
    return false;
  }
  x = FrameToUnstretched(x, {widths[0], widths[1], widths[2]}, width);
  y = FrameToUnstretched(y, {heights[0], heights[1], heights[2]}, height);
  return true;
}

bool CAuxWindow::ConvertCoordToStretched(int& x, int& y, int width, int height) const {
  DisplayLockScope lock;
  int widths[3], heights[3];
  if (!FrameParts(widths, heights)) {
    SetSkinLostError();
    return false;
  }
  x = FrameToStretched(x, {widths[0], widths[1], widths[2]}, width);
  y = FrameToStretched(y, {heights[0], heights[1], heights[2]}, height);
  return true;
}

bool CAuxWindow::IsTransparentAt(int x, int y) const {
  const int width = GetWidth(), height = GetHeight();
  if (x < 0 || y < 0 || x >= width || y >= height) return true;
  DisplayLockScope lock;
  const CDDAuxWindowSkin* frame = FrameOfSkin();
  if (!frame) return false;
  int px = x, py = y;
  if (!ConvertCoordToUnstretched(px, py, width, height)) return false;
  const int wl = WidthOf(*frame, 3), wc = WidthOf(*frame, 4);
  const int ht = HeightOf(*frame, 1), hm = HeightOf(*frame, 4);
  const int column = px < wl ? 0 : px < wl + wc ? 1 : 2;
  const int row = py < ht ? 0 : py < ht + hm ? 1 : 2;
  px -= column == 0 ? 0 : column == 1 ? wl : wl + wc;
  py -= row == 0 ? 0 : row == 1 ? ht : ht + hm;
  const CMask* mask = frame->GetMask(row * 3 + column);
  // A mask smaller than its part keeps the rest opaque.
  if (!mask || !mask->GetBytes() || px < 0 || py < 0 || px >= mask->GetWidth() || py >= mask->GetHeight())
    return false;
  return !mask->IsInside(px, py);
}

bool CAuxWindow::HitTestBorder(int x, int y, int& edge) const {
  if (IsTransparentAt(x, y)) return false;
  const int depth = m_BorderSearchDepth;
  bool found = false;
  for (int i = 0; i < depth && !found; ++i)
    for (int j = 0; j < depth && !found; ++j)
      found = IsTransparentAt(x + j, y + i) || IsTransparentAt(x - j, y + i) || IsTransparentAt(x - j, y - i) ||
              IsTransparentAt(x + j, y - i);
  if (!found) return false;
  const int width = GetWidth(), height = GetHeight();
  const int rx = width - x, ry = height - y;
  // Distances to the diagonal from (0, 0) with slope height / width.
  const double slope = width > 0 ? static_cast<double>(height) / width : 0.0;
  const double norm = std::sqrt(1.0 + slope * slope);
  const double d1 = std::fabs(slope * x - y) / norm;
  const double d2 = std::fabs(slope * (rx - 1) - y) / norm;
  const double zone = m_CornerZone;
  if (x < rx && y < ry)
    edge = d1 < zone ? kTopLeft : x >= y ? kTop : kLeft;
  else if (x < rx)
    edge = d2 < zone ? kBottomLeft : x < ry ? kLeft : kBottom;
  else if (y < ry)
    edge = d2 < zone ? kTopRight : rx < y ? kRight : kTop;
  else
    edge = d1 < zone ? kBottomRight : rx >= ry ? kBottom : kRight;
  return true;
}
