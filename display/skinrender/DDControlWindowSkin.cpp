#include "display/skinrender/DDControlWindowSkin.h"

#include "display/skinrender/DDFrameParts.h"
#include "display/skinrender/DDSkin.h"
#include "display/state/DisplayLock.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "skins/frames/ControlWindowSkin.h"
#include "skins/masks/Mask.h"
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
  const HRESULT result = BuildOrRelease(*this, [&]() -> HRESULT {
    TakeFrameParts(description, m_Parts, m_Masks, kPartCount);
    const CSkinColorSet* own = description.GetColorSet();
    if (HRESULT made = m_Colors.Create(own ? *own : skinColors); FAILED(made)) return made;
    const CSkinFontSet* fonts = description.GetFontSet();
    return fonts ? m_Fonts.Create(*fonts) : DD_OK;
  });
  if (FAILED(result)) return result;
  for (int index = 0; index < 4; ++index) m_Margins[index] = description.GetMargin(index);
  m_ExpansionType = description.GetExpansionType();
  m_ExpansionCut = description.GetExpansionCut();
  return DD_OK;
}

const CDDSkinFontSet& CDDControlWindowSkin::GetFontSet(const CDDSkin& skin) const {
  return m_Fonts.IsCreated() ? m_Fonts : skin.GetFontSet();
}
