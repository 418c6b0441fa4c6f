// CDDControlWindowSkin: the frame of the control (viewer) window ready to
// paint: its three bands (top, middle, bottom) in the display format with
// their masks, the margins of the client area, how the middle band grows,
// and the window's colours and, when the skin gives it fonts of its own,
// its fonts. Built on the user-interface thread, read under the display
// lock.
#pragma once

#include <windows.h>

#include "display/skinrender/DDSkinBase.h"
#include "display/skinrender/DDSkinColorSet.h"
#include "display/skinrender/DDSkinFontSet.h"

class CControlWindowSkin;
class CDDSkin;
class CDIBitmap;
class CMask;
class CSkinColorSet;

class CDDControlWindowSkin : public CDDSkinBase {
  TWL_DECLARE_CLASS(CDDControlWindowSkin)
 public:
  static constexpr int kPartCount = 3;

  CDDControlWindowSkin() noexcept = default;
  CDDControlWindowSkin(const CDDControlWindowSkin&) = delete;
  CDDControlWindowSkin& operator=(const CDDControlWindowSkin&) = delete;
  ~CDDControlWindowSkin() override { Release(); }

  // Colours from the description's own set when it has one, else from the
  // skin-wide one; fonts only from its own set. A failure releases the
  // renderer and is returned.
  HRESULT Create(CControlWindowSkin& description, const CSkinColorSet& skinColors);
  void Release() noexcept;
  bool IsCreated() const { return m_Parts[1] != nullptr; }
  CDIBitmap* GetPart(int index) const { return index >= 0 && index < kPartCount ? m_Parts[index] : nullptr; }
  CMask* GetMask(int index) const { return index >= 0 && index < kPartCount ? m_Masks[index] : nullptr; }
  INT GetMargin(int index) const { return index >= 0 && index < 4 ? m_Margins[index] : 0; }
  const CDDSkinColorSet& GetColorSet() const { return m_Colors; }
  // Its own fonts when it has them, else the skin-wide ones.
  const CDDSkinFontSet& GetFontSet(const CDDSkin& skin) const;
  INT GetSizeMode() const { return m_ExpansionType; }
  bool GetExpansionCut() const { return m_ExpansionCut; }

 private:
  CDIBitmap* m_Parts[kPartCount] = {};
  CMask* m_Masks[kPartCount] = {};
  INT m_Margins[4] = {};
  CDDSkinColorSet m_Colors;
  CDDSkinFontSet m_Fonts;
  INT m_ExpansionType = 0;
  bool m_ExpansionCut = true;
};
