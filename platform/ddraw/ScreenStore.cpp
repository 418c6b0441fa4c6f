#include "ScreenStore.h"

#include <cstring>
#include <unordered_map>

#include "display/PixelFormats.h"
#include "gdi/Palette.h"
#include "gdi/Screen.h"

namespace twl::ddraw {
namespace {

// The screen keeps 0x00RRGGBB words; COLORREF is 0x00BBGGRR.
COLORREF ColourOfWord(uint32_t word) { return RGB(word >> 16 & 0xFF, word >> 8 & 0xFF, word & 0xFF); }
uint32_t WordOfColour(COLORREF c) {
  return static_cast<uint32_t>(GetRValue(c)) << 16 | static_cast<uint32_t>(GetGValue(c)) << 8 | GetBValue(c);
}

// 24- and 32-bit displays hold the screen's words as they are.
bool HoldsWords(const DDPIXELFORMAT& format) {
  return !display::IsPalettized(format) && format.dwRBitMask == 0xFF0000 && format.dwGBitMask == 0x00FF00 &&
         format.dwBBitMask == 0x0000FF;
}

uint32_t LoadPixel(const uint8_t* at, int bytes) {
  uint32_t value = 0;
  std::memcpy(&value, at, bytes);
  return value;
}

void StorePixel(uint8_t* at, int bytes, uint32_t value) { std::memcpy(at, &value, bytes); }

}  // namespace

ScreenStore::ScreenStore(const DDPIXELFORMAT& format)
    : format_(format), bytesPerPixel_(display::BytesPerPixel(format)) {}

PixelView ScreenStore::Open(const RECT& area, bool read) {
  area_ = area;
  read_ = read;
  const size_t width = static_cast<size_t>(area.right - area.left);
  const size_t height = static_cast<size_t>(area.bottom - area.top);
  const size_t pitch = width * bytesPerPixel_;
  staged_.assign(pitch * height, 0);
  screen_.assign(width * height, 0);
  if (read && !gdi::ReadScreen(area, screen_.data(), width * sizeof(uint32_t))) screen_.assign(width * height, 0);
  if (read) {
    const bool words = HoldsWords(format_);
    std::vector<COLORREF> palette;
    if (display::IsPalettized(format_)) palette = gdi::SystemPaletteColours();
    // Screens hold few distinct colours; the nearest palette entry of each
    // is looked up once.
    std::unordered_map<uint32_t, uint32_t> known;
    for (size_t i = 0; i < width * height; ++i) {
      uint32_t word = screen_[i];
      uint32_t pixel = word;
      if (!words) {
        auto found = known.find(word);
        if (found == known.end())
          found = known.emplace(word, display::PixelOfColour(format_, ColourOfWord(word), palette)).first;
        pixel = found->second;
      }
      StorePixel(&staged_[i * bytesPerPixel_], bytesPerPixel_, pixel);
    }
    stagedRead_ = staged_;
  }
  return PixelView{staged_.data(), static_cast<ptrdiff_t>(pitch), area.left, area.top, bytesPerPixel_};
}

void ScreenStore::Close(const PixelView&, const Region& written, bool onlyChanged, HWND window) {
  Region clip = Region::Combine(written, Region(area_), Region::Op::And);
  if (!clip.Empty()) {
    const size_t count = screen_.size();
    const bool words = HoldsWords(format_);
    std::vector<COLORREF> palette;
    if (display::IsPalettized(format_)) palette = gdi::SystemPaletteColours();
    std::vector<uint32_t> out(count);
    for (size_t i = 0; i < count; ++i) {
      const uint8_t* at = &staged_[i * bytesPerPixel_];
      // A pixel left as it was keeps the screen's own word, so that going
      // through a coarser format loses nothing.
      if (onlyChanged && read_ && std::memcmp(at, &stagedRead_[i * bytesPerPixel_], bytesPerPixel_) == 0) {
        out[i] = screen_[i];
        continue;
      }
      uint32_t pixel = LoadPixel(at, bytesPerPixel_);
      out[i] = words ? pixel : WordOfColour(display::ColourOfPixel(format_, pixel, palette));
    }
    const size_t width = static_cast<size_t>(area_.right - area_.left);
    gdi::ScreenTarget target{window, &clip};
    gdi::WriteScreen(area_, out.data(), width * sizeof(uint32_t), target);
  }
  staged_.clear();
  stagedRead_.clear();
  screen_.clear();
}

}  // namespace twl::ddraw
