#include "display/skinrender/DDSkin.h"

#include <new>

#include "display/state/DisplayLock.h"
#include "display/state/DisplaySurfaces.h"
#include "display/state/DisplayState.h"
#include "foundation/bitmaps/ColorTable.h"
#include "foundation/kernel/MemoryError.h"
#include "skins/skin/Skin.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CDDSkin, CDDSkinBase)

CDDSkin::CDDSkin() {
  m_DefaultControlWindow = new (std::nothrow) CDDControlWindowSkin;
  if (!m_DefaultControlWindow) ThrowMemoryError();
  for (CDDControlWindowSkin*& slot : m_ControlWindows) slot = m_DefaultControlWindow;
}

CDDSkin::~CDDSkin() {
  Release();
  delete m_DefaultControlWindow;
}

void CDDSkin::ReleaseOwnControlWindows() noexcept {
  for (CDDControlWindowSkin*& slot : m_ControlWindows) {
    if (slot != m_DefaultControlWindow) delete slot;
    slot = m_DefaultControlWindow;
  }
}

void CDDSkin::Release() noexcept {
  for (CDDMainWindowSkin& window : m_MainWindows) window.Release();
  ReleaseOwnControlWindows();
  m_DefaultControlWindow->Release();
  m_AuxWindow.Release();
  m_Colors.Release();
  m_Fonts.Release();
}

HRESULT CDDSkin::Create(CSkin& skin) {
  Release();
  return BuildOrRelease(*this, [&]() -> HRESULT { return Build(skin); });
}

// The palette of an 8-bit display holds the skin's colours, so it is made
// before any picture is converted into palette indices.
void CDDSkin::BuildPalette(CSkin& skin) {
  DisplayLockScope lock;
  CDisplayState* display = CDisplayState::GetCurrent();
  if (!display || !display->IsPalettized()) return;
  CColorTable colors;
  colors.Setup(5, 6, 5, 16);
  skin.CollectColors(colors);
  CDisplaySurfaces* surfaces = CDisplaySurfaces::GetCurrent();
  if (!surfaces || !surfaces->BuildSkinPalette(colors)) display->BuildPalette(colors);
}

HRESULT CDDSkin::Build(CSkin& skin) {
  BuildPalette(skin);
  const CSkinColorSet& colors = *skin.GetColorSet();
  if (HRESULT result = m_Colors.Create(colors); FAILED(result)) return result;
  if (HRESULT result = m_Fonts.Create(*skin.GetFontSet()); FAILED(result)) return result;
  for (int mode = 0; mode < kModeCount; ++mode) {
    CMainWindowSkin* main = skin.GetMainWindowSkin(mode);
    // A skin reaches here with every mode, the mini one completed from the
    // built-in skin; one that still lacks a mode cannot be drawn.
    if (!main) return DDERR_INVALIDPARAMS;
    if (HRESULT result = m_MainWindows[mode].Create(*main, colors); FAILED(result)) return result;
    CControlWindowSkin* control = skin.GetControlWindowSkin(mode);
    if (!control) continue;
    if (mode != 0) {
      m_ControlWindows[mode] = new (std::nothrow) CDDControlWindowSkin;
      if (!m_ControlWindows[mode]) {
        m_ControlWindows[mode] = m_DefaultControlWindow;
        ThrowMemoryError();
      }
    }
    if (HRESULT result = m_ControlWindows[mode]->Create(*control, colors); FAILED(result)) return result;
  }
  return m_AuxWindow.Create(*skin.GetAuxWindowSkin());
}

CDDMainWindowSkin& CDDSkin::GetMainWindowSkin(int mode) { return m_MainWindows[ValidMode(mode)]; }

const CDDControlWindowSkin& CDDSkin::GetControlWindowSkin(int mode) const {
  return *m_ControlWindows[ValidMode(mode)];
}
