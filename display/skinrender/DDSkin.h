// CDDSkin: a whole skin ready to draw: the main window of each display
// mode (0 normal, 1 small, 2 mini), the control window frame of each mode
// (a mode without its own shares mode 0's), the auxiliary window frame and
// the skin-wide colours and fonts. Built from a freshly loaded skin, which
// gives its masks and pictures up to it, so a rebuild (after a skin
// change, a display mode change or lost surfaces) starts from a skin
// loaded anew. Either the whole skin is built or nothing is.
//
// The user interface builds and releases it on its thread; everyone else
// reads it under the display lock.
#pragma once

#include <windows.h>

#include "display/skinrender/DDAuxWindowSkin.h"
#include "display/skinrender/DDControlWindowSkin.h"
#include "display/skinrender/DDMainWindowSkin.h"
#include "display/skinrender/DDSkinBase.h"
#include "display/skinrender/DDSkinColorSet.h"
#include "display/skinrender/DDSkinFontSet.h"

class CSkin;

class CDDSkin : public CDDSkinBase {
  TWL_DECLARE_CLASS(CDDSkin)
 public:
  static constexpr int kModeCount = 3;

  CDDSkin();
  CDDSkin(const CDDSkin&) = delete;
  CDDSkin& operator=(const CDDSkin&) = delete;
  ~CDDSkin() override;

  // On an 8-bit display the palette is first rebuilt from the skin's
  // colours. The first failing step releases everything and is returned;
  // an error thrown by the palette or by memory releases and passes on.
  HRESULT Create(CSkin& skin);
  void Release() noexcept;
  bool IsLoaded() const { return m_MainWindows[0].IsCreated(); }

  // Modes outside 0-2 answer mode 0.
  CDDMainWindowSkin& GetMainWindowSkin(int mode);
  const CDDControlWindowSkin& GetControlWindowSkin(int mode) const;
  const CDDAuxWindowSkin& GetAuxWindowSkin() const { return m_AuxWindow; }
  const CDDSkinColorSet& GetColorSet() const { return m_Colors; }
  const CDDSkinFontSet& GetFontSet() const { return m_Fonts; }

 private:
  static int ValidMode(int mode) { return mode >= 0 && mode < kModeCount ? mode : 0; }
  HRESULT Build(CSkin& skin);
  void BuildPalette(CSkin& skin);
  void ReleaseOwnControlWindows() noexcept;

  CDDMainWindowSkin m_MainWindows[kModeCount];
  CDDControlWindowSkin* m_ControlWindows[kModeCount] = {};
  CDDControlWindowSkin* m_DefaultControlWindow = nullptr;
  CDDAuxWindowSkin m_AuxWindow;
  CDDSkinColorSet m_Colors;
  CDDSkinFontSet m_Fonts;
};
