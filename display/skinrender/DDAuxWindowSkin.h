// CDDAuxWindowSkin: the frame of the auxiliary windows ready to paint: the
// nine parts (top-left ... bottom-right) in the display format with their
// masks, the client margins, the caption rectangle and writer, and how the
// middle row and column grow. Built on the user-interface thread, read
// under the display lock.
#pragma once

#include <windows.h>

#include "display/skinrender/DDSkinBase.h"

class CAuxWindowSkin;
class CDDSkin;
class CDDWriter;
class CDIBitmap;
class CMask;

class CDDAuxWindowSkin : public CDDSkinBase {
  TWL_DECLARE_CLASS(CDDAuxWindowSkin)
 public:
  static constexpr int kPartCount = 9;

  CDDAuxWindowSkin() noexcept = default;
  CDDAuxWindowSkin(const CDDAuxWindowSkin&) = delete;
  CDDAuxWindowSkin& operator=(const CDDAuxWindowSkin&) = delete;
  ~CDDAuxWindowSkin() override { Release(); }

  HRESULT Create(CAuxWindowSkin& description);
  void Release() noexcept;
  bool IsCreated() const { return m_Parts[0] != nullptr; }
  CDIBitmap* GetPart(int index) const { return index >= 0 && index < kPartCount ? m_Parts[index] : nullptr; }
  CMask* GetMask(int index) const { return index >= 0 && index < kPartCount ? m_Masks[index] : nullptr; }
  INT GetMargin(int index) const { return index >= 0 && index < 4 ? m_Margins[index] : 0; }
  RECT GetCaptionRect() const { return m_CaptionRect; }
  // Its own caption writer, else the skin-wide Normal font.
  CDDWriter* GetCaptionWriter(const CDDSkin& skin) const;
  INT GetHorzExpansionType() const { return m_HorzExpansionType; }
  INT GetVertExpansionType() const { return m_VertExpansionType; }
  bool GetHorzExpansionCut() const { return m_HorzExpansionCut; }
  bool GetVertExpansionCut() const { return m_VertExpansionCut; }

 private:
  CDIBitmap* m_Parts[kPartCount] = {};
  CMask* m_Masks[kPartCount] = {};
  INT m_Margins[4] = {};
  RECT m_CaptionRect{};
  CDDWriter* m_CaptionWriter = nullptr;
  INT m_HorzExpansionType = 0;
  INT m_VertExpansionType = 0;
  bool m_HorzExpansionCut = false;
  bool m_VertExpansionCut = false;
};
