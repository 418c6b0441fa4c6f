// CControlWindowSkin: the frame of the control (viewer) window that docks
// to the main window: one picture cut into three bands of its full width
// (top, middle, bottom; the middle one grows by stretching or tiling),
// optional masks per band (1 = visible), the client area's margins (the
// client area is exactly 320 pixels wide), and optional colours and fonts
// of its own that replace the skin-wide ones for this window.
//
// The bands are at least 1 x 1 and equally wide. The description owns its
// bands and masks; Set... stores without deleting (a renderer takes them
// over by setting none); the colour and font sets stay. Plain data, one
// thread at a time.
#pragma once

#include <windows.h>

#include "skins/frames/VarSizeWindowSkin.h"
#include "skins/sets/SkinColorSet.h"
#include "skins/sets/SkinFontSet.h"

class CColorTable;
class CDIBitmap;
class CMask;
class CStream;

class CControlWindowSkin : public CVarSizeWindowSkin {
  TWL_DECLARE_CLASS(CControlWindowSkin)
 public:
  static constexpr int kBandCount = 3;
  static constexpr INT kClientWidth = 320;

  CControlWindowSkin() noexcept = default;
  CControlWindowSkin(const CControlWindowSkin&) = delete;
  CControlWindowSkin& operator=(const CControlWindowSkin&) = delete;
  ~CControlWindowSkin() override;

  // The pictures prefix + "ViewerWindow" and "ViewerWindowMask" (or the
  // "ControlWindow" family), the ini file prefix + "ViewerWindow.ini" (or
  // "ControlWindow.ini"), prefix + "ControlWindowColors.ini" and the font
  // pictures "font" + prefix + "ControlWindow" + name; throws, cleared.
  void Load(const char* folder, const char* prefix);
  // The chunks "SBMP", "SMSK", "SMSC", "SCLR" and "SFNT"; throws, cleared.
  void LoadCompiled(CStream& stream, DWORD length);
  void SaveCompiled(CStream& stream) const;
  void Clear();
  bool IsLoaded() const { return m_Parts[1] != nullptr; }

  CDIBitmap* GetPart(int index) const { return m_Parts[index]; }
  void SetPart(int index, CDIBitmap* part) { m_Parts[index] = part; }
  CMask* GetMask(int index) const { return m_Masks[index]; }
  void SetMask(int index, CMask* mask) { m_Masks[index] = mask; }
  INT GetMargin(int index) const { return (&m_Margins.left)[index]; }
  INT GetExpansionType() const { return m_ExpansionType; }
  bool GetExpansionCut() const { return m_ExpansionCut; }
  // Its own sets, or null when it has none.
  const CSkinColorSet* GetColorSet() const { return m_Colors.IsLoaded() ? &m_Colors : nullptr; }
  CSkinFontSet* GetFontSet() { return m_Fonts.IsLoaded() ? &m_Fonts : nullptr; }
  void AssignColorSet(const CSkinColorSet& colors);
  void TakeFontSet(CSkinFontSet& fonts) { m_Fonts.TakeFrom(fonts); }
  void CollectColors(CColorTable& table) const;

 private:
  void ReadChunks(CStream& stream, DWORD length);
  void ReadBands(CStream& stream, DWORD length);
  void ReadMasks(CStream& stream, DWORD length);
  void ReadSettings(CStream& stream, DWORD length);

  CDIBitmap* m_Parts[kBandCount] = {};
  CMask* m_Masks[kBandCount] = {};
  RECT m_Margins{};
  CSkinColorSet m_Colors;
  CSkinFontSet m_Fonts;
  INT m_ExpansionType = kStretch;
  bool m_ExpansionCut = true;

  friend class ControlWindowFolderLoader;
};
