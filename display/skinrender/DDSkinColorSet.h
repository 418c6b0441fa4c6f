// CDDSkinColorSet: the 33 skin colours as the description gives them and
// as display pixel values, converted once per skin build. Built on the
// user-interface thread, read under the display lock.
#pragma once

#include <windows.h>

#include "display/skinrender/DDSkinBase.h"

class CSkinColorSet;

class CDDSkinColorSet : public CDDSkinBase {
  TWL_DECLARE_CLASS(CDDSkinColorSet)
 public:
  static constexpr int kColorCount = 33;

  CDDSkinColorSet() noexcept = default;
  ~CDDSkinColorSet() override { Release(); }

  // Always 0; without a display state the display colours stay 0.
  HRESULT Create(const CSkinColorSet& colors);
  void Release() noexcept;
  bool IsCreated() const { return m_Created; }
  // Indices outside 0-32 answer 0.
  DWORD GetColor(int index) const;
  DWORD GetSourceColor(int index) const;

 private:
  DWORD m_SourceColors[kColorCount] = {};
  DWORD m_DisplayColors[kColorCount] = {};
  bool m_Created = false;
};
