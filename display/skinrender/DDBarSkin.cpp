#include "display/skinrender/DDBarSkin.h"

#include <new>

#include "display/state/DisplayLock.h"
#include "display/state/DisplayState.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/kernel/MemoryError.h"
#include "skins/bars/BarData.h"
#include "skins/bars/BarScript.h"
#include "skins/bars/BarSkin.h"
#include "skins/masks/Mask.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CDDBarSkin, CDDSkinBase)

void CDDBarSkin::Release() noexcept {
  ReleaseSurface(m_Surface);
  delete m_BarData;
  m_BarData = nullptr;
  if (m_Bitmap) m_Bitmap->Release();
  m_Bitmap = nullptr;
  delete m_Mask;
  m_Mask = nullptr;
  m_Rect = RECT{};
  m_PictureSize = SIZE{};
  m_Created = false;
}

HRESULT CDDBarSkin::Create(CBarSkin& description, INT steps) {
  Release();
  if (!description.IsDefined()) return DD_OK;
  m_Created = true;
  m_Rect = description.GetRect();
  m_Mask = description.GetMask();
  description.SetMask(nullptr);
  CDIBitmap* picture = description.GetBitmap();
  m_PictureSize = SIZE{static_cast<LONG>(picture->GetWidth()), static_cast<LONG>(picture->GetHeight())};
  return BuildOrRelease(*this, [&]() -> HRESULT {
    if (!description.GetScript()) return CreateSurface(*picture, m_Mask, &m_Surface, false);
    CreateScripted(description, steps);
    return DD_OK;
  });
}

void CDDBarSkin::CreateScripted(CBarSkin& description, INT steps) {
  m_BarData = new (std::nothrow) CBarData;
  if (!m_BarData) ThrowMemoryError();
  // The bar data walks the mask by the picture's size.
  const bool maskFits = m_Mask && m_Mask->GetWidth() == m_PictureSize.cx && m_Mask->GetHeight() == m_PictureSize.cy;
  m_BarData->Init(*description.GetScript(), maskFits ? m_Mask->GetBytes() : nullptr, m_PictureSize.cx,
                  m_PictureSize.cy, steps);
  m_Bitmap = description.GetBitmap();
  description.SetBitmap(nullptr);
  DisplayLockScope lock;
  const CDisplayState* display = CDisplayState::GetCurrent();
  if (display) m_Bitmap->ChangeFormat(display->GetFormat(), display->GetColorTable());
}
