#include "display/skinrender/DDControlWindowSkin.h"

#include "display/masks/Mask.h"
#include "display/skinrender/DDFrameParts.h"
#include "display/skinrender/DDSkin.h"
#include "display/state/DisplayLock.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "skins/frames/ControlWindowSkin.h"
#include "skins/sets/SkinColorSet.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CDDControlWindowSkin, CDDSkinBase)

void CDDControlWindowSkin::Release() noexcept {
  for (CDIBitmap*& part : m_Parts) ReleaseFramePart(part);
  for (CMask*& mask : m_Masks) DeleteFrameMask(mask);
  m_Colors.Release();
  m_Fonts.Release();
  for (INT& margin : m_Margins) margin = 0;
  m_ExpansionType = 0;
  m_ExpansionCut = true;
}

HRESULT CDDControlWindowSkin::Create(CControlWindowSkin& description, const CSkinColorSet& skinColors) {
  Release();
  try {
    DisplayLockScope lock;
    for (int index = 0; index < kPartCount; ++index) {
      m_Masks[index] = description.GetMask(index);
      description.SetMask(index, nullptr);
      m_Parts[index] = description.GetPart(index);
      description.SetPart(index, nullptr);
      if (m_Parts[index]) ConvertFramePart(*m_Parts[index]);
    }
    const CSkinColorSet* own = description.GetColorSet();
    HRESULT result = m_Colors.Create(own ? *own : skinColors);
    if (SUCCEEDED(result))
      if (const CSkinFontSet* fonts = description.GetFontSet()) result = m_Fonts.Create(*fonts);
    if (FAILED(result)) {
      Release();
      return result;
    }
  } catch (...) {
    Release();
    throw;
  }
  for (int index = 0; index < 4; ++index) m_Margins[index] = description.GetMargin(index);
  m_ExpansionType = description.GetExpansionType();
  m_ExpansionCut = description.GetExpansionCut();
  return DD_OK;
}

const CDDSkinFontSet& CDDControlWindowSkin::GetFontSet(const CDDSkin& skin) const {
  return m_Fonts.IsCreated() ? m_Fonts : skin.GetFontSet();
}
