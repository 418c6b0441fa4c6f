#include "display/skinrender/DDAuxWindowSkin.h"

#include "display/skinrender/DDFrameParts.h"
#include "display/skinrender/DDSkin.h"
#include "display/skinrender/DDWriter.h"
#include "display/state/DisplayLock.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "skins/frames/AuxWindowSkin.h"
#include "skins/masks/Mask.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CDDAuxWindowSkin, CDDSkinBase)

void CDDAuxWindowSkin::Release() noexcept {
  for (CDIBitmap*& part : m_Parts) ReleaseFramePart(part);
  for (CMask*& mask : m_Masks) DeleteFrameMask(mask);
  delete m_CaptionWriter;
  m_CaptionWriter = nullptr;
  for (INT& margin : m_Margins) margin = 0;
  m_CaptionRect = RECT{};
  m_HorzExpansionType = m_VertExpansionType = 0;
}

HRESULT CDDAuxWindowSkin::Create(CAuxWindowSkin& description) {
  Release();
  const HRESULT result = BuildOrRelease(*this, [&]() -> HRESULT {
    TakeFrameParts(description, m_Parts, m_Masks, kPartCount);
    return CreateWriter(description.GetCaptionFont(), m_CaptionWriter);
  });
  if (FAILED(result)) return result;
  m_CaptionRect = description.GetCaptionRect();
  for (int index = 0; index < 4; ++index) m_Margins[index] = description.GetMargin(index);
  m_HorzExpansionType = description.GetHorzExpansionType();
  m_VertExpansionType = description.GetVertExpansionType();
  m_HorzExpansionCut = description.GetHorzExpansionCut();
  m_VertExpansionCut = description.GetVertExpansionCut();
  return DD_OK;
}

CDDWriter* CDDAuxWindowSkin::GetCaptionWriter(const CDDSkin& skin) const {
  return m_CaptionWriter ? m_CaptionWriter : skin.GetFontSet().GetFont(0);
}
