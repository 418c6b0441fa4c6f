// DirectDraw's start and end for the user interface.
#include "app/core/System.h"
#include "app/ui/UserInterface.h"
#include "display/directx/DirectDrawFailure.h"
#include "display/directx/DirectDrawLoader.h"
#include "display/state/DisplayLock.h"
#include "foundation/appcore/LogFront.h"
#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Error.h"
#include "foundation/kernel/Placeholder.h"

namespace {

// The default DirectDraw object's second interface at the normal
// cooperative level; throws the failing call's code.
IDirectDraw2* OpenDirectDraw() {
  CDirectDrawLoader& loader = GetDirectDrawLoader();
  loader.Load();
  IDirectDraw* first = nullptr;
  if (HRESULT result = loader.GetDirectDrawCreate()(nullptr, &first, nullptr); FAILED(result))
    ThrowDirectDrawError(result);
  IDirectDraw2* draw = nullptr;
  const HRESULT asked = first->QueryInterface(IID_IDirectDraw2, reinterpret_cast<void**>(&draw));
  first->Release();
  if (FAILED(asked)) ThrowDirectDrawError(asked);
  if (HRESULT result = draw->SetCooperativeLevel(nullptr, DDSCL_NORMAL); FAILED(result)) {
    draw->Release();
    ThrowDirectDrawError(result);
  }
  return draw;
}

bool Has(DWORD flags, DWORD bits) { return (flags & bits) == bits; }

// Colour-keyed blits in hardware: the driver keys source blits, and either
// keys them from system memory too, or the emulation keys them and the
// driver blits from video to system memory or has overlays.
bool KeysColorsInHardware(const DDCAPS& driver, const DDCAPS& emulation) {
  if (!Has(driver.dwCaps, DDCAPS_COLORKEY) || !Has(driver.dwCKeyCaps, DDCKEYCAPS_SRCBLT)) return false;
  if (Has(driver.dwSVBCaps, DDCAPS_COLORKEY) && Has(driver.dwSVBCKeyCaps, DDCKEYCAPS_SRCBLT)) return true;
  return Has(emulation.dwCaps, DDCAPS_COLORKEY) && Has(emulation.dwCKeyCaps, DDCKEYCAPS_SRCBLT) &&
         (Has(driver.dwVSBCaps, DDCAPS_BLT) || Has(driver.dwCaps, DDCAPS_OVERLAY));
}

}  // namespace

void CUserInterface::InitDirectDraw() {
  LogText(LOGCODE_INFO, "CUserInterface.InitializingDirectDraw", "initializing DirectDraw...");
  IDirectDraw2* draw = nullptr;
  try {
    draw = OpenDirectDraw();
    DDCAPS driver{};
    driver.dwSize = sizeof driver;
    DDCAPS emulation{};
    emulation.dwSize = sizeof emulation;
    if (HRESULT result = draw->GetCaps(&driver, &emulation); FAILED(result)) {
      draw->Release();
      ThrowDirectDrawError(result);
    }
    m_HardwareColorKey = KeysColorsInHardware(driver, emulation);
  } catch (CError* error) {
    const CStr text =
        FillPlaceholders(LocalText("CUserInterface.InitializingDirectDraw.Failed", "failed (%ERRORTYPE%: %ERROR%)"),
                         {{"%ERRORTYPE%", error->GetCaption()}, {"%ERROR%", error->GetText()}});
    LogFormat(LOGCODE_ERROR, "%s", text.c_str());
    throw;
  }
  {
    DisplayLockScope lock;
    m_Display.SetDirectDraw(draw);
    draw->Release();
    CDisplayState::SetCurrent(&m_Display);
    CDisplaySurfaces::SetCurrent(this);
  }
  LogText(LOGCODE_INFO, "CUserInterface.InitializingDirectDraw.Done", "done", "\n");
  DecideWindowAnimation(m_HardwareColorKey);
}

void CUserInterface::ExitDirectDraw() noexcept {
  if (!m_Display.GetDirectDraw()) return;
  LogText(LOGCODE_INFO, "CUserInterface.DeinitializingDirectDraw", "deinitializing DirectDraw...");
  {
    DisplayLockScope lock;
    if (CDisplaySurfaces::GetCurrent() == this) CDisplaySurfaces::SetCurrent(nullptr);
    if (CDisplayState::GetCurrent() == &m_Display) CDisplayState::SetCurrent(nullptr);
    m_Display.Exit();
  }
  LogText(LOGCODE_INFO, "CUserInterface.DeinitializingDirectDraw.Done", "done", "\n");
}
