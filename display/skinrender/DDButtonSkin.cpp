#include "display/skinrender/DDButtonSkin.h"

#include "foundation/bitmaps/DIBitmap.h"
#include "skins/elements/ButtonSkin.h"
#include "skins/masks/Mask.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CDDButtonSkin, CDDSkinBase)
TWL_IMPLEMENT_CREATABLE_CLASS(CDDAnimButtonSkin, CDDSkinBase)

CDDButtonSkinBase::~CDDButtonSkinBase() { Release(); }

void CDDButtonSkinBase::Release() noexcept {
  for (IDirectDrawSurface2*& surface : m_Surfaces) ReleaseSurface(surface);
  delete m_Mask;
  m_Mask = nullptr;
  m_Rect = RECT{};
  for (SIZE& size : m_Sizes) size = SIZE{};
  m_Created = false;
}

HRESULT CDDButtonSkinBase::Create(CButtonSkinBase& description) {
  Release();
  if (!description.IsDefined()) return DD_OK;
  m_Created = true;
  m_Rect = description.GetRect();
  const int states = m_StateCount < description.GetStateCount() ? m_StateCount : description.GetStateCount();
  for (int state = 0; state < states; ++state)
    if (const CDIBitmap* picture = description.GetState(state))
      m_Sizes[state] = SIZE{static_cast<LONG>(picture->GetWidth()), static_cast<LONG>(picture->GetHeight())};
  m_Mask = description.GetMask();
  description.SetMask(nullptr);
  return BuildOrRelease(*this, [&]() -> HRESULT {
    for (int state = 0; state < states; ++state) {
      const CDIBitmap* picture = description.GetState(state);
      if (!picture) continue;
      if (HRESULT result = CreateSurface(*picture, m_Mask, &m_Surfaces[state], false); FAILED(result)) return result;
    }
    return DD_OK;
  });
}

IDirectDrawSurface2* CDDButtonSkinBase::GetSurface(int state) const {
  return state >= 0 && state < m_StateCount ? m_Surfaces[state] : nullptr;
}

SIZE CDDButtonSkinBase::GetStateSize(int state) const {
  return state >= 0 && state < m_StateCount ? m_Sizes[state] : SIZE{};
}
