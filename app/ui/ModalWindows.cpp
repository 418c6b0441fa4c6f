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
  DisplayLockScope lock;
  const COLORREF color = m_DDSkin.GetColorSet().GetSourceColor(kBackgrounds[index]);
  if (m_Brushes[index] && m_BrushColors[index] == color) return m_Brushes[index];
  if (m_Brushes[index]) DeleteObject(m_Brushes[index]);
  m_Brushes[index] = CreateSolidBrush(color);
  m_BrushColors[index] = color;
  return m_Brushes[index];
}
