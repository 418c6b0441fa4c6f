#include "display/skinrender/DDBitmapAnimation.h"

#include <new>

#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/kernel/Error.h"
#include "foundation/kernel/MemoryError.h"
#include "skins/animation/BitmapAnimation.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CDDBitmapAnimation, CDDSkinBase)

void CDDBitmapAnimation::Release() noexcept {
  ReleaseSurface(m_Base);
  for (INT index = 0; m_Frames && index < m_FrameCount; ++index) ReleaseSurface(m_Frames[index]);
  m_Frames.reset();
  m_Delays.reset();
  m_FrameCount = 0;
}

HRESULT CDDBitmapAnimation::Create(CBitmapAnimation& description) {
  Release();
  try {
    description.Prepare();
  } catch (CError* error) {
    DisposeError(error);
    return E_FAIL;
  }
  return BuildOrRelease(*this, [&]() -> HRESULT { return CreateSurfaces(description); });
}

HRESULT CDDBitmapAnimation::CreateSurfaces(CBitmapAnimation& description) {
  if (!description.GetBase()) return DDERR_INVALIDPARAMS;
  if (HRESULT result = CreateSurface(*description.GetBase(), nullptr, &m_Base, true); FAILED(result)) return result;
  const auto& frames = description.GetFrames();
  const auto& delays = description.GetDelays();
  if (frames.empty()) return DD_OK;
  const size_t count = frames.size();
  m_Frames.reset(new (std::nothrow) IDirectDrawSurface2*[count]());
  m_Delays.reset(new (std::nothrow) INT[count]());
  if (!m_Frames || !m_Delays) ThrowMemoryError();
  m_FrameCount = static_cast<INT>(count);
  for (size_t index = 0; index < count; ++index) {
    if (HRESULT result = CreateSurface(*frames[index], nullptr, &m_Frames[index], true); FAILED(result)) return result;
    m_Delays[index] = index < delays.size() ? delays[index] : 0;
  }
  return DD_OK;
}

IDirectDrawSurface2* CDDBitmapAnimation::GetFrameSurface(INT index) const {
  return index >= 0 && index < m_FrameCount ? m_Frames[index] : nullptr;
}

INT CDDBitmapAnimation::GetFrameDelay(INT index) const {
  return index >= 0 && index < m_FrameCount ? m_Delays[index] : 0;
}
