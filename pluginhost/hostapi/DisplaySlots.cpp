// The display slots: blits through the primary blitter, the display lock
// held across calls, the primary surface and whether the display can be
// drawn on. Every slot that touches display state takes the display lock
// itself; the lock nests, so a caller that holds it through
// HOST_LockDirectDraw may call the others.
#include <cstring>

#include "display/paint/PrimaryBlitter.h"
#include "display/state/DisplayLock.h"
#include "display/state/DisplayState.h"
#include "display/state/DisplaySurfaces.h"
#include "pluginhost/hostapi/DisplaySlotSupport.h"
#include "pluginhost/hostapi/HostSlots.h"

namespace hostapi {

namespace {

// The blitter while it can copy; null otherwise. Under the display lock.
CPrimaryBlitter* UsableBlitter() {
  CDisplaySurfaces* surfaces = CDisplaySurfaces::GetCurrent();
  if (!surfaces) return nullptr;
  CPrimaryBlitter& blitter = surfaces->GetPrimaryBlitter();
  return blitter.IsInitialized() && !blitter.IsUnsupported() ? &blitter : nullptr;
}

IDirectDrawSurface2* PrimarySurface() {
  CDisplaySurfaces* surfaces = CDisplaySurfaces::GetCurrent();
  return surfaces ? surfaces->GetPrimarySurface() : nullptr;
}

// A release without a lock would throw the lock's count off for good.
void LeaveDisplayLockIfHeld() {
  if (CDisplayLock::GetDepth() > 0) CDisplayLock::Leave();
}

}  // namespace

HRESULT HOST_PrimaryBlit(IDirectDrawSurface2* destination, int32_t x, int32_t y, IDirectDrawSurface2* source,
                         RECT* sourceRect, DWORD flags, DDBLTFX* effects) {
  if (!destination || !source || !sourceRect) return DDERR_INVALIDPARAMS;
  DisplayLockScope lock;
  CPrimaryBlitter* blitter = UsableBlitter();
  if (!blitter) return E_FAIL;
  return blitter->Blt(destination, x, y, source, *sourceRect, flags, effects);
}

HRESULT HOST_PrimaryBlitRect(IDirectDrawSurface2* destination, int32_t x, int32_t y, IDirectDrawSurface2* source,
                             RECT* sourceRect) {
  if (!destination || !source || !sourceRect) return DDERR_INVALIDPARAMS;
  DisplayLockScope lock;
  CPrimaryBlitter* blitter = UsableBlitter();
  if (!blitter) return E_FAIL;
  return blitter->CopyToSurface(destination, x, y, source, *sourceRect);
}

HRESULT HOST_PrimaryBlitDC(HDC dc, int32_t x, int32_t y, IDirectDrawSurface2* source, RECT* sourceRect, DWORD rop) {
  if (!dc || !source || !sourceRect) return DDERR_INVALIDPARAMS;
  DisplayLockScope lock;
  CPrimaryBlitter* blitter = UsableBlitter();
  if (!blitter) return E_FAIL;
  return blitter->BltToDC(dc, x, y, source, *sourceRect, rop);
}

IDirectDraw2* HOST_LockDirectDraw() {
  CDisplayLock::Enter();
  const CDisplayState* display = CDisplayState::GetCurrent();
  return display ? display->GetDirectDraw() : nullptr;
}

void HOST_UnlockDirectDraw() { LeaveDisplayLockIfHeld(); }

BOOL HOST_GetPrimarySurface(IDirectDrawSurface2** surface) {
  if (!surface) {
    HOST_SetMiscError(HOST_MISC_INVALID_PARAM);
    return FALSE;
  }
  CDisplayLock::Enter();
  if (IDirectDrawSurface2* primary = PrimarySurface()) {
    *surface = primary;
    return TRUE;  // the caller gives the lock back with the surface
  }
  *surface = nullptr;
  SetDisplayUnavailableError("GetPrimarySurface.Unavailable",
                             "No primary surface (did another app switch to full-screen mode?)");
  CDisplayLock::Leave();
  return FALSE;
}

void HOST_ReleasePrimarySurface() {
  if (CDisplayLock::GetDepth() == 0) return;
  // A clipper the plug-in set must not cut the host's own drawing.
  if (IDirectDrawSurface2* primary = PrimarySurface()) primary->SetClipper(nullptr);
  CDisplayLock::Leave();
}

void HOST_GetPrimarySurfaceDesc(DDSURFACEDESC* description) {
  if (!description) {
    HOST_SetMiscError(HOST_MISC_INVALID_PARAM);
    return;
  }
  DisplayLockScope lock;
  std::memset(description, 0, sizeof *description);
  description->dwSize = sizeof *description;
  if (IDirectDrawSurface2* primary = PrimarySurface()) primary->GetSurfaceDesc(description);
}

BOOL HOST_IsDisplayAvailable() {
  DisplayLockScope lock;
  return CDisplayState::GetCurrent() && !IsDisplayModeUnusable();
}

void HOST_RequestRestoreSurfaces() {
  if (CDisplaySurfaces* surfaces = CDisplaySurfaces::GetCurrent()) surfaces->RequestRestoreSurfaces();
}

void HOST_LockDisplay() { CDisplayLock::Enter(); }

void HOST_UnlockDisplay() { LeaveDisplayLockIfHeld(); }

}  // namespace hostapi
