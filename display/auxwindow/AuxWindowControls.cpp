// What the aux window does for its native child controls: their colours
// from the skin, the frames drawn around them, and the "What's this?" menu
// that leads to a control's introduction page.
#include <strings.h>

#include "display/auxwindow/AuxWindow.h"
#include "display/directx/DirectDrawFailure.h"
#include "display/skinrender/DDSkin.h"
#include "display/state/DisplayLock.h"
#include "display/window/WindowHost.h"
#include "foundation/appcore/LogFront.h"
#include "foundation/appcore/ThreadErrorLog.h"
#include "foundation/errors/LocalText.h"
#include "foundation/errors/ThreadErrorState.h"
#include "foundation/kernel/Error.h"

namespace {

DWORD KeyOf(HWND window) { return static_cast<DWORD>(reinterpret_cast<uintptr_t>(window)); }

// Skin colour set entries of the frame colours.
constexpr int kFrameLight = 3, kFrameShadow = 4, kHighlightedLight = 6, kHighlightedShadow = 7;

}  // namespace

void CAuxWindow::SetControlColor(HWND child, int index, DWORD flags) {
  CriticalSectionLock lock(m_ControlColorLock);
  m_ControlColors[KeyOf(child)] = static_cast<DWORD>(index & 0xFFFF) | (flags << 16);
}

void CAuxWindow::RemoveControlColor(HWND child) {
  CriticalSectionLock lock(m_ControlColorLock);
  m_ControlColors.RemoveKey(KeyOf(child));
}

void CAuxWindow::ClearControlColors() {
  CriticalSectionLock lock(m_ControlColorLock);
  m_ControlColors.RemoveAll();
}

int CAuxWindow::GetControlColorIndex(HWND child) {
  CriticalSectionLock lock(m_ControlColorLock);
  DWORD value = 0;
  if (!m_ControlColors.Lookup(KeyOf(child), value)) return -1;
  return static_cast<int>(value & 0xFFFF);
}

HBRUSH CAuxWindow::OnCtlColorEdit(HWND control, HDC dc) {
  const int index = GetControlColorIndex(control);
  if (index < 0 || index >= kColorCount) return CWindow::OnCtlColorEdit(control, dc);
  SetTextColor(dc, m_TextColors[index]);
  SetBkColor(dc, m_BackColors[index]);
  return m_Brushes[index];
}

HBRUSH CAuxWindow::OnCtlColorListBox(HWND control, HDC dc) {
  int index = GetControlColorIndex(control);
  if (index == -1) {
    // The first ten characters of the class name, compared whole and, as
    // window classes are, without regard to case.
    char name[11] = {};
    GetClassNameA(control, name, sizeof name);
    if ((m_ColorListBoxes && strcasecmp(name, "LISTBOX") == 0) || strcasecmp(name, "ComboLBox") == 0)
      index = kComboColors;
  }
  if (index < 0 || index >= kColorCount) return CWindow::OnCtlColorListBox(control, dc);
  SetTextColor(dc, m_TextColors[index]);
  SetBkColor(dc, m_BackColors[index]);
  return m_Brushes[index];
}

bool CAuxWindow::DrawFrame(IDirectDrawSurface2* surface, int x, int y, POINT origin, const RECT& rect, DWORD light,
                           DWORD shadow) {
  const LONG dx = x - origin.x, dy = y - origin.y;
  const RECT r{rect.left + dx, rect.top + dy, rect.right + dx, rect.bottom + dy};
  const struct {
    RECT area;
    DWORD color;
  } lines[4] = {
      {{r.left, r.top, r.right - 1, r.top + 1}, light},
      {{r.left, r.top + 1, r.left + 1, r.bottom - 1}, light},
      {{r.right - 1, r.top, r.right, r.bottom}, shadow},
      {{r.left, r.bottom - 1, r.right - 1, r.bottom}, shadow},
  };
  for (const auto& line : lines) {
    if (line.area.left >= line.area.right || line.area.top >= line.area.bottom) continue;
    DDBLTFX fx{};
    fx.dwSize = sizeof fx;
    fx.dwFillColor = line.color;
    RECT area = line.area;
    if (HRESULT result = surface->Blt(&area, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx); FAILED(result)) {
      SetDirectDrawThreadError(result);
      return false;
    }
  }
  return true;
}

bool CAuxWindow::DrawChildFrame(IDirectDrawSurface2* surface, int x, int y, POINT origin, HWND child,
                                bool highlighted) {
  DWORD light = 0, shadow = 0;
  {
    // The display values; on palette displays these are palette indices.
    DisplayLockScope lock;
    const CDDSkinColorSet& colors = GetWindowHost().GetDDSkin().GetColorSet();
    light = colors.GetColor(highlighted ? kHighlightedLight : kFrameLight);
    shadow = colors.GetColor(highlighted ? kHighlightedShadow : kFrameShadow);
  }
  RECT rect{};
  GetWindowRect(child, &rect);
  POINT corners[2] = {{rect.left, rect.top}, {rect.right, rect.bottom}};
  ScreenToClient(GetWindowHandle(), &corners[0]);
  ScreenToClient(GetWindowHandle(), &corners[1]);
  const RECT grown{corners[0].x - 1, corners[0].y - 1, corners[1].x + 1, corners[1].y + 1};
  return DrawFrame(surface, x, y, origin, grown, light, shadow);
}

HMENU CAuxWindow::CreateHelpMenu(int page) {
  HMENU menu = CreatePopupMenu();
  if (!menu) {
    SetThreadError(1, 0, LocalText("MenuError.CreateMenu", "Error creating menu.").c_str());
    return nullptr;
  }
  const CStr text = LocalText("CAuxWindow.PopupMenu.WhatsThis", "What's this?");
  MENUITEMINFOA item{};
  item.cbSize = sizeof item;
  item.fMask = MIIM_ID | MIIM_TYPE;
  item.fType = MFT_STRING;
  item.wID = kHelpCommandBase + page;
  item.dwTypeData = const_cast<char*>(text.c_str());
  item.cch = static_cast<UINT>(text.GetLength());
  if (!InsertMenuItemA(menu, 0, TRUE, &item)) {
    DestroyMenu(menu);
    ThrowError<CError>(LocalText("MenuError.Caption", "Menu error"),
                       LocalText("MenuError.AddItem", "Unable to add menu item to popup menu"));
  }
  return menu;
}

void CAuxWindow::DestroyHelpMenu() {
  if (!m_HelpMenu) return;
  DestroyMenu(m_HelpMenu);
  m_HelpMenu = nullptr;
}

bool CAuxWindow::ShowHelpMenu(int page, int x, int y) {
  DestroyHelpMenu();
  m_HelpMenu = CreateHelpMenu(page);
  if (!m_HelpMenu) {
    LogThreadError(LOG_CATEGORY_WARNING, nullptr);
    return false;
  }
  if (!TrackPopupMenu(m_HelpMenu, TPM_RIGHTBUTTON, x, y, 0, GetWindowHandle(), nullptr)) {
    DestroyHelpMenu();
    SetThreadError(1, 0, LocalText("MenuError.ShowPopup", "Unable to display popup menu.").c_str());
    return false;
  }
  return true;
}
