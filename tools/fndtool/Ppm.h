// Binary PPM files (P6, 8 bits per sample) for fndtool: read into a 24-bit
// top-down bitmap and written from one. The reader trusts nothing: the
// header is read token by token with comments, every number is bounded,
// and the pixel data must be all there before a bitmap is made.
#pragma once

#include <string>

class CDIBitmap;

namespace fndtool {

// Pictures larger than this, in either direction or in pixels, are refused.
constexpr unsigned kMaxPpmSide = 32767;
constexpr unsigned long long kMaxPpmPixels = 64ull << 20;

bool ReadPpm(const std::string& path, CDIBitmap& bitmap, std::string& problem);
// The bitmap must be 24-bit RGB with red in the top byte.
bool WritePpm(const std::string& path, const CDIBitmap& bitmap, std::string& problem);

}  // namespace fndtool
