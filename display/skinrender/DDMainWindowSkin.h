// CDDMainWindowSkin: the main window of one display mode ready to draw:
// its areas, drag and window masks (taken over from the description), the
// writers of the info text and the five time displays, the animated
// background, the nineteen push and animated buttons, the position and
// volume bars, the info cursor colour and where the control window docks.
// Built on the user-interface thread, read under the display lock.
#pragma once

#include <windows.h>

#include "display/skinrender/DDBarSkin.h"
#include "display/skinrender/DDBitmapAnimation.h"
#include "display/skinrender/DDButtonSkin.h"
#include "display/skinrender/DDSkinBase.h"

class CDDSkin;
class CDDWriter;
class CMainWindowSkin;
class CMask;
class CSkinColorSet;

class CDDMainWindowSkin : public CDDSkinBase {
  TWL_DECLARE_CLASS(CDDMainWindowSkin)
 public:
  static constexpr int kAreaCount = 9;
  static constexpr int kFontCount = 6;
  static constexpr int kButtonCount = 19;
  static constexpr int kBarCount = 2;
  // The skin colour the info cursor takes when the window names none.
  static constexpr int kInfoCursorColor = 26;

  CDDMainWindowSkin() noexcept = default;
  CDDMainWindowSkin(const CDDMainWindowSkin&) = delete;
  CDDMainWindowSkin& operator=(const CDDMainWindowSkin&) = delete;
  ~CDDMainWindowSkin() override { Release(); }

  // The first failure releases the renderer and is returned.
  HRESULT Create(CMainWindowSkin& description, const CSkinColorSet& colors);
  void Release() noexcept;
  bool IsCreated() const { return m_Background.GetBaseSurface() != nullptr; }

  // Empty rectangles, nulls and zeros for indices outside their ranges.
  RECT GetAreaRect(int index) const;
  CMask* GetMask(int index) const;
  // The writer of the index; a time font (2-5) without one falls back to
  // time font 1, and then every font to the skin-wide Normal font.
  CDDWriter* GetFont(int index, const CDDSkin& skin) const;
  CDDWriter* GetOwnFont(int index) const;
  CDDBitmapAnimation& GetAnimation() { return m_Background; }
  const CDDBitmapAnimation& GetAnimation() const { return m_Background; }
  SIZE GetSize() const { return SIZE{m_Width, m_Height}; }
  CDDButtonSkin* GetButton(int index);
  CDDAnimButtonSkin* GetAnimButton(int index);
  CDDBarSkin* GetBar(int index);
  POINT GetControlWindowOffset() const { return m_ControlWindowHook; }
  double GetControlWindowFactor() const { return m_ControlWindowDisplacement; }
  DWORD GetInfoCursorColor() const { return m_InfoCursorPixel; }
  DWORD GetInfoCursorSourceColor() const { return m_InfoCursorColor; }

 private:
  HRESULT CreateElements(CMainWindowSkin& description);

  RECT m_Areas[kAreaCount] = {};
  CMask* m_Masks[2] = {};
  CDDWriter* m_Writers[kFontCount] = {};
  CDDBitmapAnimation m_Background;
  LONG m_Width = 0;
  LONG m_Height = 0;
  CDDButtonSkin m_Buttons[kButtonCount];
  CDDAnimButtonSkin m_AnimButtons[kButtonCount];
  CDDBarSkin m_Bars[kBarCount];
  DWORD m_InfoCursorColor = 0;
  DWORD m_InfoCursorPixel = 0;
  POINT m_ControlWindowHook{};
  double m_ControlWindowDisplacement = 0;
};
