// CMainWindowSkin: the player's main window in one display mode (prefix ""
// normal, "Sm" small, "Mini" mini): its animated background and shape, the
// drag area, nineteen buttons (each as a push button and as an animated
// one), the position and volume bars, the areas and fonts of the info text
// and the five time displays, the info cursor colour, and the point where
// the control window docks. A skin folder lays the elements out in a map
// picture, one colour each, picked by points of the mode's ini file.
//
// Element pictures and masks have their rectangles' sizes; the window mask
// has the background's size, the drag mask that of the drag area. The
// description owns everything; the renderer takes the two masks over by
// setting none. Plain data, one thread at a time.
#pragma once

#include <windows.h>

#include "skins/animation/BitmapAnimation.h"
#include "skins/bars/BarSkin.h"
#include "skins/base/SkinBase.h"
#include "skins/elements/ButtonSkin.h"

class CBitmapFont;
class CColorTable;
class CMask;
class CStream;

class CMainWindowSkin : public CSkinBase {
  TWL_DECLARE_CLASS(CMainWindowSkin)
 public:
  static constexpr int kAreaCount = 9;
  static constexpr int kButtonCount = 19;
  static constexpr int kFontCount = 6;
  static constexpr int kBarCount = 2;
  enum Area { kDragArea = 0, kTime1 = 1, kInfo = 8 };
  enum MaskIndex { kDragMask = 0, kWindowMask = 1 };
  enum Bar { kPositionBar = 0, kVolumeBar = 1 };
  static constexpr DWORD kNoCursorColor = 0xFFFFFFFF;

  CMainWindowSkin() noexcept = default;
  CMainWindowSkin(const CMainWindowSkin&) = delete;
  CMainWindowSkin& operator=(const CMainWindowSkin&) = delete;
  ~CMainWindowSkin() override;

  // Loads the mode from the folder; throws, cleared.
  void Load(const char* folder, const char* prefix);
  void Clear();
  bool IsLoaded() const { return m_Background.GetBase() != nullptr; }
  // The chunk payload of "MWDB", "MWDS" or "MWDM"; throws, cleared.
  void LoadCompiled(CStream& stream, DWORD length);
  // Prepares the background for saving first.
  void SaveCompiled(CStream& stream);
  void CollectColors(CColorTable& table) const;

  RECT GetAreaRect(int index) const { return m_Areas[index]; }
  CMask* GetMask(int index) const { return m_Masks[index]; }
  void SetMask(int index, CMask* mask) { m_Masks[index] = mask; }
  CBitmapAnimation& GetAnimation() { return m_Background; }
  CBitmapFont* GetFont(int index) const { return m_Fonts[index]; }
  CButtonSkin& GetButton(int index) { return m_Buttons[index]; }
  CAnimButtonSkin& GetAnimButton(int index) { return m_AnimButtons[index]; }
  CBarSkin& GetBar(int index) { return m_Bars[index]; }
  DWORD GetInfoCursorColor() const { return m_InfoCursorColor; }
  POINT GetControlWindowHook() const { return m_ControlWindowHook; }
  double GetControlWindowDisplacement() const { return m_ControlWindowDisplacement; }

  // The ini key ("ButtonPlay", ...) and compiled tag of a button; the name
  // ("MainWindowInfo", ...) and tag of a font; the name of a bar.
  static const char* GetButtonKey(int index);
  static DWORD GetButtonTag(int index);
  static const char* GetFontName(int index);
  static DWORD GetFontTag(int index);
  static const char* GetBarName(int index);

 private:
  void ReadChunks(CStream& stream, DWORD length);
  void ReadAreas(CStream& stream, DWORD length);
  void ReadMasks(CStream& stream, DWORD length);
  void ReadFonts(CStream& stream, DWORD length);
  template <class Button>
  void ReadButtons(CStream& stream, DWORD length, Button* buttons);
  void ReadBars(CStream& stream, DWORD length);
  void ReadPlacement(CStream& stream, DWORD length);
  void ReadCursorColor(CStream& stream, DWORD length);

  RECT m_Areas[kAreaCount] = {};
  CMask* m_Masks[2] = {};
  CBitmapAnimation m_Background;
  CBitmapFont* m_Fonts[kFontCount] = {};
  CButtonSkin m_Buttons[kButtonCount];
  CAnimButtonSkin m_AnimButtons[kButtonCount];
  CBarSkin m_Bars[kBarCount];
  DWORD m_InfoCursorColor = kNoCursorColor;
  double m_ControlWindowDisplacement = 0;
  POINT m_ControlWindowHook{};

  friend class MainWindowFolderLoader;
};
