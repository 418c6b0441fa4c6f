#include "display/paint/PrimaryBlitter.h"

#include "display/directx/DirectXErrorTexts.h"
#include "display/state/DisplayLock.h"
#include "display/state/DisplayState.h"
#include "foundation/appcore/LogFront.h"
#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Placeholder.h"

TWL_IMPLEMENT_CREATABLE_CLASS(CPrimaryBlitter, CTypedObject)

namespace {

// The category of a subsystem's failure in the log.
constexpr DWORD kLogSubsystemError = 0x400;

bool IsPalettized(const DDPIXELFORMAT& format) { return (format.dwFlags & kPixelIndexedMask) != 0; }

RECT Placed(int x, int y, const RECT& source) {
  return RECT{x, y, x + (source.right - source.left), y + (source.bottom - source.top)};
}

}  // namespace

CPrimaryBlitter::CPrimaryBlitter() noexcept = default;

CPrimaryBlitter::~CPrimaryBlitter() { Shutdown(); }

HRESULT CPrimaryBlitter::Init(const DDPIXELFORMAT& format) {
  Shutdown();
  HRESULT result;
  {
    DisplayLockScope lock;
    result = Setup(format);
  }
  m_Initialized = true;
  return result;
}

HRESULT CPrimaryBlitter::Setup(const DDPIXELFORMAT& format) {
  if (!IsPalettized(format)) {
    m_ConversionActive = false;
  } else if (format.dwRGBBitCount == 8 && (format.dwFlags & DDPF_RGB)) {
    if (!m_ConversionActive) {
      m_ConversionActive = true;
      BuildPaletteMap();
    }
  } else {
    m_Unsupported = true;
  }
  if (!m_ConversionActive) {
    DestroyConvertSurface();
    return DD_OK;
  }
  return m_ConvertSurface ? DD_OK : CreateConvertSurface();
}

void CPrimaryBlitter::Shutdown() noexcept {
  m_Initialized = false;
  DestroyConvertSurface();
}

HRESULT CPrimaryBlitter::CreateConvertSurface() {
  DestroyConvertSurface();
  HRESULT result;
  {
    DisplayLockScope lock;
    LogText(LOG_CATEGORY_INFO, "CPrimaryBlitter.Create8BitConvertSurface", "creating 8 bit conversion surface...");
    const CDisplayState* display = CDisplayState::GetCurrent();
    result = display ? display->CreateOffscreenSurface(kPieceWidth, kPieceHeight, &m_ConvertSurface)
                     : DDERR_INVALIDOBJECT;
  }
  if (SUCCEEDED(result)) {
    LogText(LOG_CATEGORY_INFO, "CPrimaryBlitter.Create8BitConvertSurface.Done", "done", "\n");
    return result;
  }
  const CStr text = ReplacePlaceholder(
      LocalText("CPrimaryBlitter.Create8BitConvertSurface.DDError", "failed (DirectDraw error: %ERROR%)"),
      {"%ERROR%", GetDirectDrawErrorText(static_cast<DWORD>(result))});
  LogFormat(kLogSubsystemError, "%s\n", text.c_str());
  return result;
}

void CPrimaryBlitter::DestroyConvertSurface() noexcept {
  if (!m_ConvertSurface) return;
  LogText(LOG_CATEGORY_INFO, "CPrimaryBlitter.Destroy8BitConvertSurface", "destroying 8 bit conversion surface...");
  m_ConvertSurface->Release();
  m_ConvertSurface = nullptr;
  LogText(LOG_CATEGORY_INFO, "CPrimaryBlitter.Destroy8BitConvertSurface.Done", "done", "\n");
}

HRESULT CPrimaryBlitter::Restore() {
  if (m_ConvertSurface) {
    LogText(LOG_CATEGORY_INFO, "CPrimaryBlitter.Restore8BitConvertSurface", "restoring 8 bit conversion surface...");
    if (FAILED(m_ConvertSurface->Restore())) {
      LogText(LOG_CATEGORY_INFO, "CPrimaryBlitter.CantRestore8BitConvertSurface",
              "can't restore surface - it will be recreated.", "\n");
      DestroyConvertSurface();
    } else {
      LogText(LOG_CATEGORY_INFO, "CPrimaryBlitter.Restore8BitConvertSurface.Done", "done", "\n");
    }
  }
  if (!m_ConvertSurface && m_ConversionActive) return CreateConvertSurface();
  return DD_OK;
}

HRESULT CPrimaryBlitter::Blt(IDirectDrawSurface2* destination, int x, int y, IDirectDrawSurface2* source,
                             const RECT& sourceRect, DWORD flags, DDBLTFX* effects) {
  if (m_Unsupported) return E_FAIL;
  if (m_ConversionActive)
    return BltConverted(destination, x, y, source, sourceRect, flags, effects, (flags & DDBLT_KEYSRC) != 0);
  RECT target = Placed(x, y, sourceRect);
  RECT from = sourceRect;
  return destination->Blt(&target, source, &from, flags, effects);
}

HRESULT CPrimaryBlitter::CopyToSurface(IDirectDrawSurface2* destination, int x, int y, IDirectDrawSurface2* source,
                                       const RECT& sourceRect) {
  if (m_Unsupported) return E_FAIL;
  if (m_ConversionActive) return TranslateRect(destination, x, y, source, sourceRect);
  RECT from = sourceRect;
  return destination->BltFast(static_cast<DWORD>(x), static_cast<DWORD>(y), source, &from, DDBLTFAST_WAIT);
}

HRESULT CPrimaryBlitter::BltToDC(HDC dc, int x, int y, IDirectDrawSurface2* source, const RECT& sourceRect,
                                 DWORD rop) {
  if (m_Unsupported) return E_FAIL;
  if (m_ConversionActive) return BltToDCConverted(dc, x, y, source, sourceRect, rop);
  HDC sourceDC = nullptr;
  if (HRESULT result = source->GetDC(&sourceDC); FAILED(result)) return result;
  const BOOL copied = BitBlt(dc, x, y, sourceRect.right - sourceRect.left, sourceRect.bottom - sourceRect.top,
                             sourceDC, sourceRect.left, sourceRect.top, rop);
  source->ReleaseDC(sourceDC);
  return copied ? DD_OK : E_FAIL;
}
