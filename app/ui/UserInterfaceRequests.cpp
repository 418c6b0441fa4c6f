// What the rest of the program asks of the user interface: the main
// windows shown, minimized and restored together, the palette and the
// display changes the owner window hears of, and the skin's text figures.
#include <algorithm>

#include "app/core/System.h"
#include "app/ui/UserInterface.h"
#include "display/skinrender/DDWriter.h"
#include "display/state/DisplayLock.h"
#include "display/window/Window.h"
#include "foundation/appcore/LogFront.h"
#include "foundation/errors/LocalText.h"
#include "foundation/errors/ThreadErrorState.h"
#include "foundation/kernel/Error.h"

HFONT CUserInterface::GetControlFont(int which) {
  if (which == 0) return m_ControlFont;
  SetThreadError(THREAD_ERROR_MISC, MISC_ERROR_INVALID_PARAM, GetMiscErrorText(MISC_ERROR_INVALID_PARAM));
  return nullptr;
}

bool CUserInterface::ShowWindowByIndex(int index, bool bringToTop) {
  CWindow* window = GetMainWindow(index);
  if (!window) return false;
  window->Show(true);
  if (bringToTop) window->BringToTop();
  return true;
}

void CUserInterface::SetMainWindowZOrder(HWND insertAfter) {
  if (CWindow* main = GetMainWindow(0))
    SetWindowPos(main->GetWindowHandle(), insertAfter, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// Windows the cursor left without a mouse move of their own drop their
// hover states.
void CUserInterface::UpdateHoverStates() {
  POINT cursor{};
  if (!GetCursorPos(&cursor)) return;
  HWND under = WindowFromPoint(cursor);
  for (CWindow* window : m_MainWindows)
    if (window && window->GetWindowHandle() != under) window->ReplayMouseMove(cursor.x, cursor.y);
}

void CUserInterface::MinimizeAll(bool toTray) {
  if (m_Minimized && m_MinimizedToTray == toTray) return;
  CSystem& system = GetSystem();
  if (system.HasLogWindow()) system.GetLogWindow().BeginHide();
  if (toTray)
    system.GetOwnerWindow().Show(false);
  else
    system.GetOwnerWindow().EnableSystemMenu(false);
  for (CWindow* window : m_MainWindows)
    if (window) window->Minimize(toTray);
  m_Minimized = true;
  m_MinimizedToTray = toTray;
}

void CUserInterface::RestoreAll() {
  if (!m_Minimized) return;
  CSystem& system = GetSystem();
  if (system.HasLogWindow()) system.GetLogWindow().EndHide();
  system.GetOwnerWindow().Show(true);
  system.GetOwnerWindow().EnableSystemMenu(true);
  for (CWindow* window : m_MainWindows)
    if (window) window->Restore();
  m_Minimized = false;
  m_MinimizedToTray = false;
}

void CUserInterface::RealizePalette() {
  DisplayLockScope lock;
  HPALETTE palette = m_Display.GetPalette();
  if (!palette || m_UnsupportedDisplay || !m_Display.IsPalettized()) return;
  HWND owner = GetSystem().GetOwnerWindow().GetWindowHandle();
  HDC dc = GetWindowDC(owner);
  if (!dc) {
    LogText(LOGCODE_RESOURCES, "CUserInterface.RealizePaletteFailed.GetWindowDC",
            "ERROR: Unable to realize palette (error obtaining window device context).");
    return;
  }
  HPALETTE old = SelectPalette(dc, palette, FALSE);
  UnrealizeObject(palette);
  if (::RealizePalette(dc) == GDI_ERROR)
    LogText(LOGCODE_RESOURCES, "CUserInterface.RealizePaletteFailed.Generic", "ERROR realizing the palette.");
  SelectPalette(dc, old, FALSE);
  ReleaseDC(owner, dc);
}

// Another window's realisation changed the system palette: ours goes in
// again, unless the change was our own.
void CUserInterface::OnPaletteChanged(HWND window) {
  bool ours = window && window == GetSystem().GetOwnerWindow().GetWindowHandle();
  for (CWindow* main : m_MainWindows)
    if (window && main && main->GetWindowHandle() == window) ours = true;
  if (!ours) RealizePalette();
  {
    DisplayLockScope lock;
    if (m_PrimaryBlitter.IsInitialized()) m_PrimaryBlitter.BuildPaletteMap();
  }
  for (CWindow* main : m_MainWindows) {
    if (!main) continue;
    main->InvalidateRect(nullptr);
    PostMessageA(main->GetWindowHandle(), CWindow::kWindowPaintDirtyMessage, 0, 0);
  }
}

void CUserInterface::OnOwnerActivate(bool active) {
  if (active) RealizePalette();
}

void CUserInterface::OnDisplayChange() {
  try {
    DDSURFACEDESC mode;
    if (HasDisplayModeChanged(&mode)) RestoreSurfaces();
  } catch (CError* error) {
    LogFormat(LOGCODE_ERROR, "%s: %s\n", error->GetCaption().c_str(), error->GetText().c_str());
    DisposeError(error);
  }
}

bool CUserInterface::GetSkinControlStyle(SkinControlStyle* style) {
  DisplayLockScope lock;
  return FillSkinControlStyle(&m_DDSkin, *style);
}

int CUserInterface::GetFontHeight(int font) {
  DisplayLockScope lock;
  if (!m_DDSkin.IsLoaded()) return 1;
  const CDDWriter* writer = m_DDSkin.GetFontSet().GetFont(font);
  return writer ? writer->GetHeight() : 1;
}

int CUserInterface::GetTextWidth(int font, const char* text) {
  DisplayLockScope lock;
  if (!m_DDSkin.IsLoaded() || !text) return 1;
  const CDDWriter* writer = m_DDSkin.GetFontSet().GetFont(font);
  return writer ? writer->GetTextWidth(text) : 1;
}

// The largest height and the widest text over the style's four fonts;
// 1 x 1 as soon as a font is missing.
bool CUserInterface::MeasureTextExtent(const SkinControlStyle& style, int count, const char* const* texts, int* width,
                                       int* height, int extraWidth, int extraHeight) {
  *width = 1;
  *height = 1;
  DisplayLockScope lock;
  int widest = 1;
  int tallest = 1;
  for (const CDDWriter* font : style.fonts) {
    if (!font) {
      *width = 1;
      *height = 1;
      return false;
    }
    tallest = std::max(tallest, static_cast<int>(font->GetHeight()));
    for (int at = 0; at < count; ++at)
      if (texts[at]) widest = std::max(widest, static_cast<int>(font->GetTextWidth(texts[at])));
  }
  *width = widest + extraWidth;
  *height = tallest + extraHeight;
  return true;
}
