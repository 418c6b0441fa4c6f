// The user interface's surfaces: the primary surface, the clipper of the
// back buffer and the back buffer itself.
#include "app/core/System.h"
#include "app/ui/UserInterface.h"
#include "display/directx/DirectDrawFailure.h"
#include "display/directx/DirectXErrorTexts.h"
#include "display/state/DisplayLock.h"
#include "foundation/appcore/LogFront.h"
#include "foundation/errors/LocalText.h"
#include "foundation/errors/ThreadErrorState.h"
#include "foundation/kernel/Placeholder.h"

namespace {

void LogDirectDrawFailure(const char* key, HRESULT code) {
  const CStr text = FillPlaceholders(LocalText(key, "failed (%ERRORTYPE%: %ERROR%)"),
                                     {{"%ERRORTYPE%", LocalText("CDirectDrawError.Caption", "DirectDraw error")},
                                      {"%ERROR%", GetDirectDrawErrorText(static_cast<DWORD>(code))}});
  LogFormat(LOGCODE_SUBSYSTEM, "%s\n", text.c_str());
}

HRESULT MakePrimarySurface(IDirectDraw2* draw, IDirectDrawSurface2** surface) {
  *surface = nullptr;
  if (!draw) return DDERR_INVALIDOBJECT;
  DDSURFACEDESC desc{};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DDSD_CAPS;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
  IDirectDrawSurface* first = nullptr;
  if (HRESULT result = draw->CreateSurface(&desc, &first, nullptr); FAILED(result)) return result;
  const HRESULT result = first->QueryInterface(IID_IDirectDrawSurface2, reinterpret_cast<void**>(surface));
  first->Release();
  if (FAILED(result)) *surface = nullptr;
  return result;
}

void Release(IDirectDrawSurface2*& surface) {
  if (surface) surface->Release();
  surface = nullptr;
}

}  // namespace

bool CUserInterface::CreatePrimarySurface() {
  DestroyPrimarySurface();
  DisplayLockScope lock;
  LogText(LOGCODE_INFO, "CUserInterface.CreatingPrimarySurface", "creating primary surface...");
  if (m_UnsupportedDisplay) {
    LogText(LOGCODE_SUBSYSTEM, "CUserInterface.CreatingPrimarySurface.FailedUnsupportedDisplayMode",
            "failed (unsupported display mode)", "\n");
    SetThreadError(THREAD_ERROR_GENERAL, 0,
                   LocalText("CUserInterface.UnsupportedDisplayMode", "Unsupported display mode."));
    return false;
  }
  if (HRESULT result = MakePrimarySurface(m_Display.GetDirectDraw(), &m_PrimarySurface); FAILED(result)) {
    SetDirectDrawThreadError(result);
    LogDirectDrawFailure("CUserInterface.CreatingPrimarySurface.Failed", result);
    return false;
  }
  LogText(LOGCODE_INFO, "CUserInterface.CreatingPrimarySurface.Done", "done", "\n");
  return true;
}

void CUserInterface::DestroyPrimarySurface() noexcept {
  if (!m_PrimarySurface) return;
  LogText(LOGCODE_INFO, "CUserInterface.DestroyingPrimarySurface", "destroying primary surface...");
  {
    DisplayLockScope lock;
    Release(m_PrimarySurface);
  }
  LogText(LOGCODE_INFO, "CUserInterface.DestroyingPrimarySurface.Done", "done", "\n");
}

bool CUserInterface::RestorePrimarySurface() {
  DisplayLockScope lock;
  if (m_PrimarySurface) {
    LogText(LOGCODE_INFO, "CUserInterface.RestoringPrimarySurface", "restoring primary surface...");
    if (FAILED(m_PrimarySurface->Restore())) {
      LogText(LOGCODE_INFO, "CUserInterface.RestoringPrimarySurface.Recreate",
              "can't restore primary surface - it will be recreated.", "\n");
      DestroyPrimarySurface();
    } else {
      LogText(LOGCODE_INFO, "CUserInterface.RestoringPrimarySurface.Done", "done", "\n");
    }
  }
  return m_PrimarySurface ? true : CreatePrimarySurface();
}

void CUserInterface::CreateClipper() {
  DestroyClipper();
  DisplayLockScope lock;
  IDirectDraw2* draw = m_Display.GetDirectDraw();
  if (!draw) ThrowDirectDrawError(DDERR_INVALIDOBJECT);
  if (HRESULT result = draw->CreateClipper(0, &m_Clipper, nullptr); FAILED(result)) {
    m_Clipper = nullptr;
    ThrowDirectDrawError(result);
  }
  if (HRESULT result = m_Clipper->SetClipList(reinterpret_cast<LPRGNDATA>(m_ClipList.data()), 0); FAILED(result)) {
    DestroyClipper();
    ThrowDirectDrawError(result);
  }
}

void CUserInterface::DestroyClipper() noexcept {
  DisplayLockScope lock;
  if (m_Clipper) m_Clipper->Release();
  m_Clipper = nullptr;
}

bool CUserInterface::CreateBackBuffer() {
  DestroyBackBuffer();
  DisplayLockScope lock;
  HRESULT result = m_Display.CreateOffscreenSurface(kBackBufferWidth, kBackBufferHeight, &m_BackBuffer);
  if (SUCCEEDED(result) && m_Clipper) result = m_BackBuffer->SetClipper(m_Clipper);
  if (FAILED(result)) {
    Release(m_BackBuffer);
    SetDirectDrawThreadError(result);
    return false;
  }
  return true;
}

void CUserInterface::DestroyBackBuffer() noexcept {
  DisplayLockScope lock;
  if (!m_BackBuffer) return;
  m_BackBuffer->SetClipper(nullptr);
  Release(m_BackBuffer);
}

IDirectDrawSurface2* CUserInterface::GetBackBuffer() {
  DisplayLockScope lock;
  CriticalSectionLock own(m_Lock);
  if (!m_BackBuffer) CreateBackBuffer();
  return m_BackBuffer;
}

bool CUserInterface::RestoreBackBuffer() {
  DisplayLockScope lock;
  if (m_BackBuffer) {
    LogText(LOGCODE_INFO, "CUserInterface.RestoringWindowBackBuffer", "restoring window back buffer...");
    if (FAILED(m_BackBuffer->Restore())) {
      LogText(LOGCODE_INFO, "CUserInterface.RestoringWindowBackBuffer.Recreate",
              "can't restore window back buffer - it will be recreated.", "\n");
      DestroyBackBuffer();
    } else {
      LogText(LOGCODE_INFO, "CUserInterface.RestoringWindowBackBuffer.Done", "done", "\n");
    }
  }
  return m_BackBuffer ? true : CreateBackBuffer();
}
