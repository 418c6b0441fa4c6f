// CDDSkinFontSet: the six skin fonts as writers (0 Normal, 1 Highlighted,
// 2 ButtonNormal, 3 ButtonHover, 4 ButtonDown, 5 ButtonDisabled). A font
// the skin lacks falls back to a related one: Highlighted and ButtonNormal
// to Normal, ButtonHover to Highlighted, ButtonDown to ButtonHover,
// ButtonDisabled to ButtonNormal. Owns its writers. Built on the
// user-interface thread, read under the display lock.
#pragma once

#include <windows.h>

#include "display/skinrender/DDSkinBase.h"

class CDDWriter;
class CSkinFontSet;

class CDDSkinFontSet : public CDDSkinBase {
  TWL_DECLARE_CLASS(CDDSkinFontSet)
 public:
  static constexpr int kFontCount = 6;

  CDDSkinFontSet() noexcept = default;
  CDDSkinFontSet(const CDDSkinFontSet&) = delete;
  CDDSkinFontSet& operator=(const CDDSkinFontSet&) = delete;
  ~CDDSkinFontSet() override { Release(); }

  // A writer per present font; the first failing one releases the whole
  // set and its code is returned.
  HRESULT Create(const CSkinFontSet& fonts);
  void Release() noexcept;
  bool IsCreated() const { return m_Created; }
  // The writer of the index or of the nearest present ancestor; null when
  // even Normal is missing or the index is outside 0-5.
  CDDWriter* GetFont(int index) const;
  // The parent of a font in the fallback chain; -1 for Normal.
  static int GetParentFont(int index);

 private:
  CDDWriter* m_Writers[kFontCount] = {};
  bool m_Created = false;
};
