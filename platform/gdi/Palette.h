// Logical palettes (HPALETTE) and the system palette of an 8-bit display:
// the colours 8-bit pixels on the screen show. Realising a palette in the
// foreground hands the free system entries (all but the ten static colours
// at each end) to its entries in order. Thread-safe: the system palette
// has its own lock; a palette object is changed only by its creator.
#pragma once

#include <memory>
#include <vector>

#include "GdiObject.h"
#include "twlwin/palettes.h"

namespace twl::gdi {

class Palette final : public GdiObject {
 public:
  explicit Palette(std::vector<PALETTEENTRY> entries) : entries(std::move(entries)) {}
  DWORD Type() const override { return OBJ_PAL; }
  const std::vector<PALETTEENTRY> entries;
};

// The palette every DC starts with: the static colours.
HPALETTE DefaultPalette();

// True while the display is an 8-bit palette display.
bool DisplayHasPalette();

// The system palette as 256 colours: entry i is what pixel value i shows
// (black past the system palette's size).
std::vector<COLORREF> SystemPaletteColours();

// The result of realising a palette.
struct Realisation {
  UINT placed = 0;       // entries that took a system entry of their own
  bool changed = false;  // the system palette is different now
};
// Maps the entries into the system palette, in the foreground or not.
Realisation Realise(const std::vector<PALETTEENTRY>& entries, bool foreground);

// The system palette's entries [first, first + count) that exist.
std::vector<PALETTEENTRY> SystemPaletteEntries(UINT first, UINT count);
UINT SystemPaletteSize();
void SetSystemPaletteSize(int entries);

}  // namespace twl::gdi
