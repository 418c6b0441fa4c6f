// The descriptions of a clickable button of a skinned window: where it lies
// (right and bottom exclusive), a picture per state and an optional mask
// giving its clickable shape. A push button (CButtonSkin) has the states
// Normal, Hover, Down and Disabled; an animated button (CAnimButtonSkin)
// only Hover, Down and Disabled, its normal look being the window's own
// animated background. Every present picture, and the mask, has the
// rectangle's size. A button is defined when its first state is present.
//
// The description owns its pictures and mask; Set... stores without
// deleting what was there (a renderer takes the mask over by reading it and
// setting none). Plain data, one thread at a time.
#pragma once

#include <windows.h>

#include "skins/base/SkinBase.h"

class CColorTable;
class CDIBitmap;
class CMask;
class CStream;

class CButtonSkinBase : public CSkinBase {
 public:
  CButtonSkinBase(const CButtonSkinBase&) = delete;
  CButtonSkinBase& operator=(const CButtonSkinBase&) = delete;
  ~CButtonSkinBase() override;

  void SetRect(const RECT& rect) { m_Rect = rect; }
  RECT GetRect() const { return m_Rect; }
  void SetState(int index, CDIBitmap* picture) { m_States[index] = picture; }
  CDIBitmap* GetState(int index) const { return m_States[index]; }
  int GetStateCount() const { return m_StateCount; }
  void SetMask(CMask* mask) { m_Mask = mask; }
  CMask* GetMask() const { return m_Mask; }
  bool IsDefined() const { return m_States[0] != nullptr; }
  // Deletes the pictures and the mask; the rectangle stays.
  void Clear();

  // The element's chunks: "BTMC" (x, y, width, height), one bitmap chunk per
  // state, "BTMK" when there is a mask. Loading clears first and clears
  // again when it throws.
  void LoadCompiled(CStream& stream, DWORD length);
  void SaveCompiled(CStream& stream) const;

 protected:
  CButtonSkinBase(const DWORD* stateTags, int stateCount) noexcept;

 private:
  void ReadChunks(CStream& stream, DWORD length);
  int StateOfTag(DWORD tag) const;
  bool HasRectSize(DWORD width, DWORD height) const;

  RECT m_Rect{};
  CDIBitmap* m_States[4] = {};
  CMask* m_Mask = nullptr;
  const DWORD* m_StateTags;
  int m_StateCount;
};

class CButtonSkin : public CButtonSkinBase {
  TWL_DECLARE_CLASS(CButtonSkin)
 public:
  enum State { kNormal, kHover, kDown, kDisabled };
  CButtonSkin() noexcept;
  // Marks the colours of the present pictures.
  void CollectColors(CColorTable& table) const;
};

class CAnimButtonSkin : public CButtonSkinBase {
  TWL_DECLARE_CLASS(CAnimButtonSkin)
 public:
  enum State { kHover, kDown, kDisabled };
  CAnimButtonSkin() noexcept;
};
