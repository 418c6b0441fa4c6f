// The modal half of the user interface: modal aux windows stack in the
// aux window manager, and the main window takes no input while any is open.
#include "app/ui/UserInterface.h"
#include "display/state/DisplayLock.h"
#include "display/window/Window.h"

int CUserInterface::BeginModal(CAuxWindow* window) {
  const int before = m_AuxWindows.GetModalCount();
  m_AuxWindows.PushModal(window);
  if (before == 0)
    if (CWindow* main = GetMainWindow(0)) main->Enable(false);
  return m_AuxWindows.GetModalCount();
}

bool CUserInterface::EndModal(CAuxWindow* window) {
  const int before = m_AuxWindows.GetModalCount();
  if (!m_AuxWindows.PopModal(window)) return false;
  if (before == 1)
    if (CWindow* main = GetMainWindow(0)) main->Enable(true);
  return true;
}

HBRUSH CUserInterface::GetBrush(int index) {
  // Skin colour set entries of the five backgrounds.
  static constexpr int kBackgrounds[5] = {11, 20, 14, 23, 17};
  if (index < 0 || index >= 5) return nullptr;
  return SkinColorBrush(static_cast<size_t>(index), kBackgrounds[index]);
}

HBRUSH CUserInterface::GetTooltipBackgroundBrush() { return SkinColorBrush(kTooltipBackgroundSlot, 27); }

HBRUSH CUserInterface::GetTooltipBorderBrush() { return SkinColorBrush(kTooltipBorderSlot, 29); }

HBRUSH CUserInterface::SkinColorBrush(size_t slot, int colorIndex) {
  DisplayLockScope lock;
  const COLORREF color = m_DDSkin.GetColorSet().GetSourceColor(colorIndex);
  if (m_Brushes[slot] && m_BrushColors[slot] == color) return m_Brushes[slot];
  if (m_Brushes[slot]) DeleteObject(m_Brushes[slot]);
  m_Brushes[slot] = CreateSolidBrush(color);
  m_BrushColors[slot] = color;
  return m_Brushes[slot];
}
