#include "ScreenStore.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "platform/display/PixelFormats.h"
#include "platform/gdi/Palette.h"
#include "platform/gdi/Screen.h"

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

const std::vector<uint32_t>& ScreenStore::WordsOfPixels() {
  // An 8-bit screen shows the system palette as it is now.
  if (!words_.empty() && !display::IsPalettized(format_)) return words_;
  const uint32_t values = bytesPerPixel_ == 1 ? 256u : 65536u;
  std::vector<COLORREF> palette;
  if (display::IsPalettized(format_)) palette = gdi::SystemPaletteColours();
  words_.resize(values);
  for (uint32_t pixel = 0; pixel < values; ++pixel)
    words_[pixel] = WordOfColour(display::ColourOfPixel(format_, pixel, palette));
  return words_;
}

PixelView ScreenStore::Open(const RECT& area, bool read) {
  area_ = area;
  read_ = read;
  const size_t width = static_cast<size_t>(area.right - area.left);
  const size_t height = static_cast<size_t>(area.bottom - area.top);
  const size_t pitch = width * bytesPerPixel_;
  count_ = width * height;
  // Unread pixels are undefined: what the buffers held before may stay.
  if (staged_.size() < pitch * height) staged_.resize(pitch * height);
  if (read) {
    screen_.resize(count_);
    if (!gdi::ReadScreen(area, screen_.data(), width * sizeof(uint32_t))) std::fill(screen_.begin(), screen_.end(), 0);
    const bool words = HoldsWords(format_);
    std::vector<COLORREF> palette;
    if (display::IsPalettized(format_)) palette = gdi::SystemPaletteColours();
    // Screens hold few distinct colours; the nearest palette entry of each
    // is looked up once.
    std::unordered_map<uint32_t, uint32_t> known;
    for (size_t i = 0; i < count_; ++i) {
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
    stagedRead_.assign(staged_.begin(), staged_.begin() + static_cast<ptrdiff_t>(pitch * height));
  }
  return PixelView{staged_.data(), static_cast<ptrdiff_t>(pitch), area.left, area.top, bytesPerPixel_};
}

void ScreenStore::Close(const PixelView&, const Region& written, bool onlyChanged, HWND window) {
  Region clip = Region::Combine(written, Region(area_), Region::Op::And);
  if (clip.Empty()) return;
  const size_t width = static_cast<size_t>(area_.right - area_.left);
  const bool keepUnchanged = onlyChanged && read_;
  gdi::ScreenTarget target{window, &clip};
  // 24- and 32-bit pixels are the screen's words: they go as they are.
  if (HoldsWords(format_) && bytesPerPixel_ == 4 && !keepUnchanged) {
    gdi::WriteScreen(area_, reinterpret_cast<const uint32_t*>(staged_.data()), width * sizeof(uint32_t), target);
    return;
  }
  out_.resize(count_);
  uint32_t* out = out_.data();
  const uint8_t* staged = staged_.data();
  if (bytesPerPixel_ <= 2 && !keepUnchanged) {
    // The common case, painting: one table lookup a pixel.
    const uint32_t* table = WordsOfPixels().data();
    if (bytesPerPixel_ == 1) {
      for (size_t i = 0; i < count_; ++i) out[i] = table[staged[i]];
    } else {
      for (size_t i = 0; i < count_; ++i) {
        uint16_t pixel;
        std::memcpy(&pixel, staged + 2 * i, 2);
        out[i] = table[pixel];
      }
    }
  } else {
    const uint32_t* table = bytesPerPixel_ <= 2 ? WordsOfPixels().data() : nullptr;
    const bool words = HoldsWords(format_);
    for (size_t i = 0; i < count_; ++i) {
      const uint8_t* at = staged + i * bytesPerPixel_;
      // A pixel left as it was keeps the screen's own word, so that going
      // through a coarser format loses nothing.
      if (keepUnchanged && std::memcmp(at, &stagedRead_[i * bytesPerPixel_], bytesPerPixel_) == 0) {
        out[i] = screen_[i];
        continue;
      }
      const uint32_t pixel = LoadPixel(at, bytesPerPixel_);
      if (table)
        out[i] = table[pixel];
      else if (words)
        out[i] = pixel;
      else
        out[i] = WordOfColour(display::ColourOfPixel(format_, pixel, {}));
    }
  }
  gdi::WriteScreen(area_, out_.data(), width * sizeof(uint32_t), target);
}

}  // namespace twl::ddraw
