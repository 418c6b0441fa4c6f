#include "Palette.h"

#include <algorithm>
#include <mutex>

#include "platform/display/DisplayMode.h"
#include "platform/display/PixelFormats.h"

namespace twl::gdi {
namespace {

constexpr int kMaxEntries = 256;
constexpr int kStaticPerEnd = 10;

// The twenty colours an 8-bit display always shows: ten at the start of the
// system palette and ten at its end.
constexpr COLORREF kFirstStatic[kStaticPerEnd] = {
    RGB(0, 0, 0),       RGB(128, 0, 0),     RGB(0, 128, 0),     RGB(128, 128, 0),   RGB(0, 0, 128),
    RGB(128, 0, 128),   RGB(0, 128, 128),   RGB(192, 192, 192), RGB(192, 220, 192), RGB(166, 202, 240)};
constexpr COLORREF kLastStatic[kStaticPerEnd] = {
    RGB(255, 251, 240), RGB(160, 160, 164), RGB(128, 128, 128), RGB(255, 0, 0),     RGB(0, 255, 0),
    RGB(255, 255, 0),   RGB(0, 0, 255),     RGB(255, 0, 255),   RGB(0, 255, 255),   RGB(255, 255, 255)};

struct SystemPalette {
  std::mutex lock;
  int size = kMaxEntries;
  COLORREF colours[kMaxEntries] = {};

  int StaticPerEnd() const { return std::min(kStaticPerEnd, size / 2); }

  void Reset() {
    std::fill(std::begin(colours), std::end(colours), RGB(0, 0, 0));
    int statics = StaticPerEnd();
    for (int i = 0; i < statics; ++i) {
      colours[i] = kFirstStatic[i];
      colours[size - statics + i] = kLastStatic[kStaticPerEnd - statics + i];
    }
  }
};

SystemPalette& TheSystemPalette() {
  static SystemPalette* palette = [] {
    auto* made = new SystemPalette;  // never destroyed
    made->Reset();
    return made;
  }();
  return *palette;
}

COLORREF ColourOf(const PALETTEENTRY& entry) { return RGB(entry.peRed, entry.peGreen, entry.peBlue); }

}  // namespace

HPALETTE DefaultPalette() {
  static HPALETTE handle = [] {
    std::vector<PALETTEENTRY> entries;
    for (COLORREF c : kFirstStatic) entries.push_back({GetRValue(c), GetGValue(c), GetBValue(c), 0});
    for (COLORREF c : kLastStatic) entries.push_back({GetRValue(c), GetGValue(c), GetBValue(c), 0});
    auto palette = std::make_shared<Palette>(std::move(entries));
    palette->stock = true;
    return static_cast<HPALETTE>(InsertObject(std::move(palette)));
  }();
  return handle;
}

bool DisplayHasPalette() {
  const DDPIXELFORMAT& format = display::Current().mode.format;
  return display::IsPalettized(format) && format.dwRGBBitCount == 8;
}

std::vector<COLORREF> SystemPaletteColours() {
  SystemPalette& system = TheSystemPalette();
  std::lock_guard guard(system.lock);
  return std::vector<COLORREF>(std::begin(system.colours), std::end(system.colours));
}

Realisation Realise(const std::vector<PALETTEENTRY>& entries, bool foreground) {
  Realisation result;
  if (!foreground) return result;
  SystemPalette& system = TheSystemPalette();
  std::lock_guard guard(system.lock);
  const int statics = system.StaticPerEnd();
  const int freeEnd = system.size - statics;
  int next = statics;
  auto alreadyShown = [&](COLORREF colour) {
    for (int i = 0; i < system.size; ++i) {
      bool placedNow = i >= statics && i < next;
      bool isStatic = i < statics || i >= freeEnd;
      if ((placedNow || isStatic) && system.colours[i] == colour) return true;
    }
    return false;
  };
  for (const PALETTEENTRY& entry : entries) {
    if (entry.peFlags & PC_EXPLICIT) continue;
    COLORREF colour = ColourOf(entry);
    bool ownEntry = entry.peFlags & (PC_NOCOLLAPSE | PC_RESERVED);
    if (!ownEntry && alreadyShown(colour)) continue;
    if (next >= freeEnd) continue;  // no free entry left: the nearest colour serves
    result.changed = result.changed || system.colours[next] != colour;
    system.colours[next++] = colour;
    ++result.placed;
  }
  return result;
}

std::vector<PALETTEENTRY> SystemPaletteEntries(UINT first, UINT count) {
  SystemPalette& system = TheSystemPalette();
  std::lock_guard guard(system.lock);
  std::vector<PALETTEENTRY> out;
  for (UINT i = first; i < static_cast<UINT>(system.size) && i - first < count; ++i) {
    COLORREF c = system.colours[i];
    out.push_back({GetRValue(c), GetGValue(c), GetBValue(c), 0});
  }
  return out;
}

UINT SystemPaletteSize() {
  SystemPalette& system = TheSystemPalette();
  std::lock_guard guard(system.lock);
  return static_cast<UINT>(system.size);
}

void SetSystemPaletteSize(int entries) {
  SystemPalette& system = TheSystemPalette();
  std::lock_guard guard(system.lock);
  system.size = std::clamp(entries, 1, kMaxEntries);
  system.Reset();
}

}  // namespace twl::gdi
