// The display slots: blits through the primary blitter, palette index
// translation, the display lock held across calls, and the skin writers.
// Every slot that touches display state takes the display lock itself; the
// lock nests, so a caller that holds it through HOST_LockDirectDraw may
// call the others.
#include "display/paint/PrimaryBlitter.h"
#include "display/skinrender/DDWriter.h"
#include "display/state/DisplayLock.h"
#include "display/state/DisplayState.h"
#include "display/state/DisplaySurfaces.h"
#include "pluginhost/hostapi/HostSlots.h"

namespace hostapi {

namespace {

const CDDWriter* WriterOf(HOST_WRITER writer) { return reinterpret_cast<const CDDWriter*>(writer); }

// Writers' blits keep the glyph backgrounds transparent and wait.
constexpr DWORD kWriterBlitFlags = DDBLT_WAIT | DDBLT_KEYSRC;
constexpr DWORD kEffectsSize = 100;

}  // namespace

HRESULT HOST_PrimaryBlit(IDirectDrawSurface2* destination, int32_t x, int32_t y, IDirectDrawSurface2* source,
                         RECT* sourceRect, DWORD flags, DDBLTFX* effects) {
  if (!destination || !source || !sourceRect) return DDERR_INVALIDPARAMS;
  DisplayLockScope lock;
  CDisplaySurfaces* surfaces = CDisplaySurfaces::GetCurrent();
  if (!surfaces) return E_FAIL;
  CPrimaryBlitter& blitter = surfaces->GetPrimaryBlitter();
  if (!blitter.IsInitialized() || blitter.IsUnsupported()) return E_FAIL;
  return blitter.Blt(destination, x, y, source, *sourceRect, flags, effects);
}

DWORD HOST_MapPaletteIndex(DWORD index) {
  DisplayLockScope lock;
  const CDisplayState* display = CDisplayState::GetCurrent();
  CDisplaySurfaces* surfaces = CDisplaySurfaces::GetCurrent();
  if (!display || !surfaces || !display->IsPalettized()) return index;
  const CPrimaryBlitter& blitter = surfaces->GetPrimaryBlitter();
  if (!blitter.IsConversionActive() || index >= CPrimaryBlitter::kTableSize) return index;
  return static_cast<DWORD>(blitter.GetPaletteTranslationTable()[index]);
}

IDirectDraw2* HOST_LockDirectDraw() {
  CDisplayLock::Enter();
  const CDisplayState* display = CDisplayState::GetCurrent();
  return display ? display->GetDirectDraw() : nullptr;
}

void HOST_UnlockDirectDraw() {
  // A release without a lock would throw the lock's count off for good.
  if (CDisplayLock::GetDepth() > 0) CDisplayLock::Leave();
}

int32_t HOST_WriterGetTextWidth(HOST_WRITER writer, const char* text) {
  if (!writer || !text) {
    HOST_SetMiscError(HOST_MISC_INVALID_PARAM);
    return 0;
  }
  DisplayLockScope lock;
  return WriterOf(writer)->GetTextWidth(text);
}

int32_t HOST_WriterGetCharWidth(HOST_WRITER writer, int32_t character) {
  if (!writer) {
    HOST_SetMiscError(HOST_MISC_INVALID_PARAM);
    return 0;
  }
  DisplayLockScope lock;
  return WriterOf(writer)->GetCharWidth(character);
}

int32_t HOST_WriterGetHeight(HOST_WRITER writer) {
  if (!writer) {
    HOST_SetMiscError(HOST_MISC_INVALID_PARAM);
    return 0;
  }
  DisplayLockScope lock;
  return WriterOf(writer)->GetHeight();
}

BOOL HOST_WriterDrawText(HOST_WRITER writer, IDirectDrawSurface2* surface, int32_t x, int32_t y, const char* text) {
  if (!writer || !surface || !text) {
    HOST_SetMiscError(HOST_MISC_INVALID_PARAM);
    return FALSE;
  }
  DisplayLockScope lock;
  DDBLTFX effects{};
  effects.dwSize = kEffectsSize;
  const HRESULT result = WriterOf(writer)->WriteText(surface, x, y, text, kWriterBlitFlags, &effects);
  if (FAILED(result)) {
    HOST_SetDirectDrawError(static_cast<DWORD>(result));
    return FALSE;
  }
  return TRUE;
}

}  // namespace hostapi
