// The display's pixel values and palette as plug-ins draw with them: the
// colour key, black, colours as pixels, palette index translation, the
// palette itself and the colour conversion table of palettized displays.
// Each takes the display lock; without a display the answers are 0.
#include <algorithm>
#include <cstring>

#include "display/paint/PrimaryBlitter.h"
#include "display/state/DisplayLock.h"
#include "display/state/DisplayState.h"
#include "display/state/DisplaySurfaces.h"
#include "pluginhost/hostapi/DisplaySlotSupport.h"
#include "pluginhost/hostapi/HostSlots.h"

namespace hostapi {

namespace {

constexpr size_t kConversionTableBytes = 65536;

// A palettized display that can be drawn on; null otherwise.
const CDisplayState* UsablePalettizedDisplay() {
  const CDisplayState* display = CDisplayState::GetCurrent();
  return display && display->IsPalettized() && !IsDisplayModeUnusable() ? display : nullptr;
}

DWORD TranslatePaletteIndex(DWORD index) {
  const CDisplayState* display = CDisplayState::GetCurrent();
  CDisplaySurfaces* surfaces = CDisplaySurfaces::GetCurrent();
  if (!display || !surfaces || !display->IsPalettized()) return index;
  const CPrimaryBlitter& blitter = surfaces->GetPrimaryBlitter();
  if (!blitter.IsConversionActive() || index >= CPrimaryBlitter::kTableSize) return index;
  return static_cast<DWORD>(blitter.GetPaletteTranslationTable()[index]);
}

}  // namespace

DWORD HOST_GetColorKey() {
  DisplayLockScope lock;
  const CDisplayState* display = CDisplayState::GetCurrent();
  return display ? display->GetColorKey() : 0;
}

// Black is 0 in RGB modes; a palette's key entry is never black, so the
// entry nearest black stands in for it.
DWORD HOST_GetBlackPixel() {
  DisplayLockScope lock;
  const CDisplayState* display = CDisplayState::GetCurrent();
  return display && display->IsPalettized() ? display->GetSubstituteColor() : 0;
}

DWORD HOST_ColorToPixel(DWORD color, BOOL map) {
  DisplayLockScope lock;
  const CDisplayState* display = CDisplayState::GetCurrent();
  if (!display) return 0;
  const DWORD pixel = display->ConvertColor(color);
  return map && display->IsPalettized() ? TranslatePaletteIndex(pixel) : pixel;
}

DWORD HOST_MapPaletteIndex(DWORD index) {
  DisplayLockScope lock;
  return TranslatePaletteIndex(index);
}

BOOL HOST_GetPaletteEntries(DWORD* destination, int32_t first, int32_t count, int32_t* copied) {
  if (!destination || !copied || first < 0 || count < 0) {
    HOST_SetMiscError(HOST_MISC_INVALID_PARAM);
    return FALSE;
  }
  DisplayLockScope lock;
  *copied = 0;
  const CDisplayState* display = UsablePalettizedDisplay();
  if (!display || first >= CDisplayState::kPaletteSize) return TRUE;
  const int32_t available = std::min(count, CDisplayState::kPaletteSize - first);
  const auto& entries = display->GetPaletteEntries();
  std::copy_n(entries.begin() + first, available, destination);
  *copied = available;
  return TRUE;
}

BOOL HOST_GetColorConversionTable(BYTE* destination) {
  if (!destination) {
    HOST_SetMiscError(HOST_MISC_INVALID_PARAM);
    return FALSE;
  }
  DisplayLockScope lock;
  std::memset(destination, 0, kConversionTableBytes);
  const CDisplayState* display = UsablePalettizedDisplay();
  const CColorTable* table = display ? display->GetColorTable() : nullptr;
  if (!table || !table->IsSetUp()) return TRUE;
  const size_t bytes = std::min<size_t>(kConversionTableBytes, size_t{table->GetCellCount()} << table->GetCellShift());
  std::memcpy(destination, table->GetCells(), bytes);
  return TRUE;
}

}  // namespace hostapi
