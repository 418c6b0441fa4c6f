// What the user interface knows of the display mode, and the palette of
// 8-bit displays.
#include "app/core/System.h"
#include "app/ui/UserInterface.h"
#include "display/directx/DirectDrawFailure.h"
#include "display/state/DisplayLock.h"
#include "foundation/appcore/LogFront.h"
#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Placeholder.h"

namespace {

const char* TrueOrFalse(bool value) { return value ? "true" : "false"; }

CStr Decimal(DWORD value) { return CStr::Format("%lu", static_cast<unsigned long>(value)); }

void LogDisplayMode(const DDSURFACEDESC& mode) {
  const CStr text =
      FillPlaceholders(LocalText("CUserInterface.DisplayMode", "display mode: %WIDTH% x %HEIGHT% x %BPP%"),
                       {{"%WIDTH%", Decimal(mode.dwWidth)},
                        {"%HEIGHT%", Decimal(mode.dwHeight)},
                        {"%BPP%", Decimal(mode.ddpfPixelFormat.dwRGBBitCount)}});
  LogFormat(LOGCODE_INFO, "%s\n", text.c_str());
}

void LogUnsupportedMode(const DDSURFACEDESC& mode) {
  const DWORD flags = mode.ddpfPixelFormat.dwFlags;
  const CStr text = FillPlaceholders(
      LocalText("CUserInterface.UnsupportedDisplayMode_PrintParams",
                "unsupported display mode (%WIDTH% x %HEIGHT% x %BPP%, palette=%PAL%, RGB=%RGB%, YUV=%YUV%)"),
      {{"%WIDTH%", Decimal(mode.dwWidth)},
       {"%HEIGHT%", Decimal(mode.dwHeight)},
       {"%BPP%", Decimal(mode.ddpfPixelFormat.dwRGBBitCount)},
       {"%PAL%", TrueOrFalse((flags & kPixelIndexedMask) != 0)},
       {"%RGB%", TrueOrFalse((flags & DDPF_RGB) != 0)},
       {"%YUV%", TrueOrFalse((flags & DDPF_YUV) != 0)}});
  LogFormat(LOGCODE_SUBSYSTEM, "%s\n", text.c_str());
}

}  // namespace

bool CUserInterface::HasDisplayModeChanged(DDSURFACEDESC* mode) {
  DisplayLockScope lock;
  IDirectDraw2* draw = m_Display.GetDirectDraw();
  if (!draw) ThrowDirectDrawError(DDERR_INVALIDOBJECT);
  *mode = DDSURFACEDESC{};
  mode->dwSize = sizeof(DDSURFACEDESC);
  mode->ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
  if (HRESULT result = draw->GetDisplayMode(mode); FAILED(result)) ThrowDirectDrawError(result);
  return m_Display.HasModeChanged(*mode);
}

HRESULT CUserInterface::TestDisplayAccess() {
  DisplayLockScope lock;
  IDirectDrawSurface2* surface = nullptr;
  const HRESULT result = m_Display.CreateOffscreenSurface(1, 1, &surface);
  if (surface) surface->Release();
  return result;
}

void CUserInterface::InitDisplayModeData() {
  DisplayLockScope lock;
  ReadDisplayModeData();
  // A mode that can be drawn in may still be out of reach: another desktop
  // holds the display.
  if (!m_UnsupportedDisplay && TestDisplayAccess() == DDERR_UNSUPPORTEDMODE) {
    LogText(LOGCODE_SUBSYSTEM, "CUserInterface.CantAccessDisplay", "cannot access display (might be locked)", "\n");
    m_UnsupportedDisplay = true;
  }
}

void CUserInterface::ReadDisplayModeData() {
  DDSURFACEDESC mode;
  if (!HasDisplayModeChanged(&mode)) {
    // The mode keeps what was found when it came: its pixel values, its
    // converters and whether it can be drawn in.
    m_UnsupportedDisplay = !CDisplayState::IsSupportedFormat(m_Display.GetPixelFormat());
    return;
  }
  m_UnsupportedDisplay = false;
  const HRESULT kept = m_Display.SetMode(mode);
  LogDisplayMode(mode);
  if (kept == DDERR_UNSUPPORTEDMODE) {
    LogUnsupportedMode(mode);
    m_UnsupportedDisplay = true;
  }
  if (m_PrimaryBlitter.IsInitialized()) m_PrimaryBlitter.Setup(m_Display.GetPixelFormat());
}

void CUserInterface::BuildPalette(const CColorTable& colors) {
  DisplayLockScope lock;
  m_Display.BuildPalette(colors);
  OnPaletteChanged(nullptr);
}
