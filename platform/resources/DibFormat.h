// Device-independent bitmaps in the layout Windows keeps them in resources
// and .bmp files: an info header, masks or a colour table, then the rows.
// The reader trusts nothing: every size and count is checked against the
// bytes there are before anything is copied. It depends on nothing else of
// the layer, so that the build's resource compiler checks files with it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace twl::resources {

struct Dib {
  int32_t width = 0;
  int32_t height = 0;
  bool topDown = false;            // how the rows were stored
  uint16_t bitCount = 0;           // 1, 4, 8, 16, 24 or 32
  uint32_t masks[3] = {0, 0, 0};   // red, green, blue for 16 and 32 bits
  std::vector<uint32_t> colors;    // 0x00RRGGBB, 2^bitCount of them for up to 8 bits
  uint32_t stride = 0;             // bytes per row, a multiple of 4
  std::vector<uint8_t> bits;       // rows, top row first

  // The colour at (x, y) as 0x00RRGGBB (0xAARRGGBB for 32 bits).
  uint32_t Pixel(int32_t x, int32_t y) const;
};

// The largest picture the reader accepts, in either direction.
constexpr int32_t kMaxDibSide = 16384;

// Reads a packed DIB from `data`. For an icon image the header counts the
// rows of the colour bitmap and of the mask below it together: `iconImage`
// reads the first half only. `end` gets the offset just past the rows read.
bool ReadPackedDib(const uint8_t* data, size_t size, bool iconImage, Dib& dib, size_t& end, std::string& error);

// A .bmp file: the 14-byte file header, then a packed DIB. `dibOffset` is
// where the packed DIB starts.
bool ReadBmpFile(const uint8_t* data, size_t size, Dib& dib, size_t& dibOffset, std::string& error);

}  // namespace twl::resources
