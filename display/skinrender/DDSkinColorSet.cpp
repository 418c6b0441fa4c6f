#include "display/skinrender/DDSkinColorSet.h"

#include "display/state/DisplayLock.h"
#include "display/state/DisplayState.h"
#include "skins/sets/SkinColorSet.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CDDSkinColorSet, CDDSkinBase)

static_assert(CDDSkinColorSet::kColorCount == CSkinColorSet::kColorCount);

HRESULT CDDSkinColorSet::Create(const CSkinColorSet& colors) {
  Release();
  DisplayLockScope lock;
  const CDisplayState* display = CDisplayState::GetCurrent();
  for (int index = 0; index < kColorCount; ++index) {
    m_SourceColors[index] = colors.m_Colors[index];
    m_DisplayColors[index] = display ? display->ConvertColor(colors.m_Colors[index]) : 0;
  }
  m_Created = true;
  return DD_OK;
}

void CDDSkinColorSet::Release() noexcept {
  for (int index = 0; index < kColorCount; ++index) m_SourceColors[index] = m_DisplayColors[index] = 0;
  m_Created = false;
}

DWORD CDDSkinColorSet::GetColor(int index) const {
  return index >= 0 && index < kColorCount ? m_DisplayColors[index] : 0;
}

DWORD CDDSkinColorSet::GetSourceColor(int index) const {
  return index >= 0 && index < kColorCount ? m_SourceColors[index] : 0;
}
