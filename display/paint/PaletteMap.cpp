// The palette translation table: which system palette index each display
// palette index shows as on an 8-bit display.
#include <algorithm>

#include "display/paint/PrimaryBlitter.h"
#include "display/state/DisplayLock.h"
#include "display/state/DisplayState.h"
#include "foundation/bitmaps/PixelConverter.h"
#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Error.h"
#include "twlwin/palettes.h"

namespace {

constexpr DWORD kFree = CDisplayState::kFreeEntry;

[[noreturn]] void ThrowGDIError(const char* key, const char* text) {
  ThrowError<CError>(LocalText("GDIError.Caption", "GDI error"), LocalText(key, text));
}

DWORD ColorOf(const PALETTEENTRY& entry) {
  return entry.peRed | static_cast<DWORD>(entry.peGreen) << 8 | static_cast<DWORD>(entry.peBlue) << 16;
}

// The darkest of entries 1 .. count - 1 (the lowest index wins a tie).
INT DarkestEntry(const std::array<DWORD, CPrimaryBlitter::kTableSize>& entries, UINT count) {
  INT darkest = 1;
  DWORD least = 0xFFFFFFFF;
  for (UINT index = 1; index < count; ++index) {
    const DWORD red = entries[index] & 0xFF, green = entries[index] >> 8 & 0xFF, blue = entries[index] >> 16 & 0xFF;
    const DWORD brightness = red * red + green * green + blue * blue;
    if (brightness < least) {
      least = brightness;
      darkest = static_cast<INT>(index);
    }
  }
  return darkest;
}

}  // namespace

void CPrimaryBlitter::BuildPaletteMap() {
  if (!m_ConversionActive || m_Unsupported) return;
  HDC display = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  if (!display) ThrowGDIError("GDIError.GetDisplayDC", "Error obtaining a display device content.");
  PALETTEENTRY found[kTableSize]{};
  const UINT count = std::min<UINT>(GetSystemPaletteEntries(display, 0, kTableSize, found), kTableSize);
  DeleteDC(display);
  if (count == 0) ThrowGDIError("GDIError.GetSystemPaletteEntries", "Unable to retrieve system palette.");

  std::array<DWORD, kTableSize> system;
  system.fill(kFree);
  for (UINT index = 0; index < count; ++index) system[index] = ColorOf(found[index]);
  // A system palette with room to spare keeps its first unused entry for
  // the key; a full one gives up its darkest colour.
  m_KeyIndex = count < kTableSize ? static_cast<INT>(count) : DarkestEntry(system, count);

  DisplayLockScope lock;
  std::array<DWORD, kTableSize> displayPalette;
  displayPalette.fill(kFree);
  if (const CDisplayState* state = CDisplayState::GetCurrent()) displayPalette = state->GetPaletteEntries();
  // Neither key takes part in the search: the display's key entry is no
  // colour, and no colour may turn into the system's key.
  displayPalette[CDisplayState::kKeyIndex] = kFree;
  system[static_cast<size_t>(m_KeyIndex)] = kFree;
  m_PaletteTranslationTable.fill(0);
  for (UINT index = 0; index < count; ++index) {
    if (displayPalette[index] == kFree) continue;
    const INT nearest = FindNearestColor(system.data(), static_cast<INT>(count), displayPalette[index]);
    m_PaletteTranslationTable[index] = nearest < 0 ? 0 : nearest;
  }
  m_PaletteTranslationTable[CDisplayState::kKeyIndex] = m_KeyIndex;
}
