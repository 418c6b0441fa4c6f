// CBarSkin: one level or position bar of a skinned window: its rectangle
// (right and bottom exclusive), the picture of the filled bar, an optional
// mask of the bar's shape and an optional bar script whose points are
// relative to the rectangle. Picture and mask have the rectangle's size;
// the script's points lie inside the rectangle and, with a mask, inside
// the mask. The description owns what it holds; Set... stores without
// deleting (a renderer takes the mask, and with a script the picture, over
// by setting none). Plain data, one thread at a time.
#pragma once

#include <windows.h>

#include "skins/base/SkinBase.h"

class CBarScript;
class CColorTable;
class CDIBitmap;
class CMask;
class CStream;

class CBarSkin : public CSkinBase {
  TWL_DECLARE_CLASS(CBarSkin)
 public:
  CBarSkin() noexcept = default;
  CBarSkin(const CBarSkin&) = delete;
  CBarSkin& operator=(const CBarSkin&) = delete;
  ~CBarSkin() override;

  void SetRect(const RECT& rect) { m_Rect = rect; }
  RECT GetRect() const { return m_Rect; }
  void SetBitmap(CDIBitmap* bitmap) { m_Bitmap = bitmap; }
  CDIBitmap* GetBitmap() const { return m_Bitmap; }
  void SetMask(CMask* mask) { m_Mask = mask; }
  CMask* GetMask() const { return m_Mask; }
  void SetScript(CBarScript* script) { m_Script = script; }
  CBarScript* GetScript() const { return m_Script; }
  bool IsDefined() const { return m_Bitmap != nullptr; }
  void Clear();
  void CollectColors(CColorTable& table) const;

  // "BRMC", "BRBM", "BRMK", "BRST"; throws, cleared. A script's points
  // are checked as a folder load checks them, then its connectors are
  // prepared.
  void LoadCompiled(CStream& stream, DWORD length);
  void SaveCompiled(CStream& stream) const;

  // Whether a point relative to the rectangle lies in the bar: inside the
  // rectangle and, with a mask, on a non-zero mask byte.
  bool ContainsRelativePoint(POINT point) const;

 private:
  void ReadChunks(CStream& stream, DWORD length);
  bool HasRectSize(DWORD width, DWORD height) const;

  RECT m_Rect{};
  CDIBitmap* m_Bitmap = nullptr;
  CMask* m_Mask = nullptr;
  CBarScript* m_Script = nullptr;
};
