// CAuxWindowSkin: the frame of the skinned auxiliary windows (playlist,
// browsers, options, message boxes, dialogs, plug-in windows): the window
// picture cut into a 3 x 3 grid of parts (row by row: top-left ...
// bottom-right), an optional mask per part (1 = visible), the client
// area's margins, how the middle column and row grow (stretch or tile, cut
// or in whole steps), the caption area in the whole picture's coordinates
// and the caption font.
//
// The parts always form a grid: every part at least 1 x 1, the parts of
// a column equally wide, those of a row equally high; renderers copy
// columns and rows across parts relying on it. The description owns what
// it holds; Set... stores without deleting (a renderer takes the parts and
// masks over by setting none). Plain data, one thread at a time.
#pragma once

#include <windows.h>

#include "skins/frames/VarSizeWindowSkin.h"

class CBitmapFont;
class CColorTable;
class CDIBitmap;
class CMask;
class CStream;

class CAuxWindowSkin : public CVarSizeWindowSkin {
  TWL_DECLARE_CLASS(CAuxWindowSkin)
 public:
  static constexpr int kPartCount = 9;

  CAuxWindowSkin() noexcept = default;
  CAuxWindowSkin(const CAuxWindowSkin&) = delete;
  CAuxWindowSkin& operator=(const CAuxWindowSkin&) = delete;
  ~CAuxWindowSkin() override;

  // "AuxWindow.bmp", "AuxWindowMask.bmp", "AuxWindow.ini" and the caption
  // font "fontAuxWindowCaption.bmp" of the folder; throws, cleared.
  void LoadFromFolder(const char* folder);
  // The chunks "SBMP", "SMSK", "SCFT" and "SMSC"; throws, cleared.
  void LoadCompiled(CStream& stream, DWORD length);
  void SaveCompiled(CStream& stream) const;
  void Clear();

  CDIBitmap* GetPart(int index) const { return m_Parts[index]; }
  void SetPart(int index, CDIBitmap* part) { m_Parts[index] = part; }
  CMask* GetMask(int index) const { return m_Masks[index]; }
  void SetMask(int index, CMask* mask) { m_Masks[index] = mask; }
  INT GetMargin(int index) const { return (&m_Margins.left)[index]; }
  RECT GetCaptionRect() const { return m_CaptionRect; }
  CBitmapFont* GetCaptionFont() const { return m_CaptionFont; }
  INT GetHorzExpansionType() const { return m_HorzExpansionType; }
  INT GetVertExpansionType() const { return m_VertExpansionType; }
  bool GetHorzExpansionCut() const { return m_HorzExpansionCut; }
  bool GetVertExpansionCut() const { return m_VertExpansionCut; }
  bool IsLoaded() const { return m_Parts[4] != nullptr; }
  void CollectColors(CColorTable& table) const;

 private:
  void ReadChunks(CStream& stream, DWORD length);
  void ReadParts(CStream& stream, DWORD length);
  void ReadMasks(CStream& stream, DWORD length);
  void ReadSettings(CStream& stream, DWORD length);
  void CheckGrid() const;

  CDIBitmap* m_Parts[kPartCount] = {};
  CMask* m_Masks[kPartCount] = {};
  RECT m_Margins{};
  INT m_HorzExpansionType = kStretch;
  INT m_VertExpansionType = kStretch;
  bool m_HorzExpansionCut = true;
  bool m_VertExpansionCut = true;
  RECT m_CaptionRect{};
  CBitmapFont* m_CaptionFont = nullptr;

  friend class AuxWindowFolderLoader;
};
