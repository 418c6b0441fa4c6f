#include "Ppm.h"

#include <cstdint>
#include <fstream>
#include <vector>

#include "foundation/bitmaps/DIBitmap.h"

namespace fndtool {
namespace {

bool IsSpace(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// Skips white space and comments (from "#" to the line end).
void SkipSeparators(std::istream& in) {
  for (;;) {
    const int c = in.peek();
    if (c == '#') {
      while (in.peek() != '\n' && in.peek() != '\r' && in.peek() != EOF) in.get();
    } else if (IsSpace(c)) {
      in.get();
    } else {
      return;
    }
  }
}

// A decimal number of at most `limit`, read digit by digit.
bool ReadNumber(std::istream& in, unsigned long limit, unsigned long& value) {
  SkipSeparators(in);
  if (in.peek() < '0' || in.peek() > '9') return false;
  unsigned long number = 0;
  while (in.peek() >= '0' && in.peek() <= '9') {
    number = number * 10 + static_cast<unsigned long>(in.get() - '0');
    if (number > limit) return false;
  }
  value = number;
  return true;
}

CPixelFormat Rgb24() {
  CPixelFormat format;
  format.SetMasks(24, 0xFF0000, 0xFF00, 0xFF);
  return format;
}

}  // namespace

bool ReadPpm(const std::string& path, CDIBitmap& bitmap, std::string& problem) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    problem = "cannot open '" + path + "'";
    return false;
  }
  char magic[2] = {};
  in.read(magic, 2);
  if (!in || magic[0] != 'P' || magic[1] != '6') {
    problem = "'" + path + "' is not a binary PPM file (P6)";
    return false;
  }
  unsigned long width = 0, height = 0, maxValue = 0;
  if (!ReadNumber(in, kMaxPpmSide, width) || !ReadNumber(in, kMaxPpmSide, height) ||
      !ReadNumber(in, 65535, maxValue) || width == 0 || height == 0 ||
      static_cast<unsigned long long>(width) * height > kMaxPpmPixels) {
    problem = "'" + path + "' has a bad PPM header or is larger than " + std::to_string(kMaxPpmSide) + " pixels a side";
    return false;
  }
  if (maxValue != 255) {
    problem = "'" + path + "': only PPM files of 8 bits per sample (maximum value 255) are read";
    return false;
  }
  // Exactly one white-space character ends the header.
  if (!IsSpace(in.get())) {
    problem = "'" + path + "' has a bad PPM header";
    return false;
  }
  std::vector<unsigned char> samples(static_cast<size_t>(width) * height * 3);
  in.read(reinterpret_cast<char*>(samples.data()), static_cast<std::streamsize>(samples.size()));
  if (static_cast<size_t>(in.gcount()) != samples.size()) {
    problem = "'" + path + "' ends before its pixels do";
    return false;
  }

  bitmap.Create(width, height, CDIBitmap::kPadToFourBytes, Rgb24(), true);
  const size_t stride = static_cast<size_t>(bitmap.GetBytesPerRow()) + bitmap.GetRowPadding();
  for (size_t y = 0; y < height; ++y) {
    BYTE* row = bitmap.GetPixels() + y * stride;
    const unsigned char* from = samples.data() + y * width * 3;
    // Memory holds the 24-bit value little-endian: blue, green, red.
    for (size_t x = 0; x < width; ++x) {
      row[3 * x] = from[3 * x + 2];
      row[3 * x + 1] = from[3 * x + 1];
      row[3 * x + 2] = from[3 * x];
    }
    for (size_t pad = 3 * width; pad < stride; ++pad) row[pad] = 0;
  }
  return true;
}

bool WritePpm(const std::string& path, const CDIBitmap& bitmap, std::string& problem) {
  const CPixelFormat& format = bitmap.GetFormat();
  if (format.bitsPerPixel != 24 || format.redMask != 0xFF0000 || format.greenMask != 0xFF00 ||
      format.blueMask != 0xFF) {
    problem = "only 24-bit RGB bitmaps are written as PPM files";
    return false;
  }
  const size_t width = bitmap.GetWidth(), height = bitmap.GetHeight();
  const size_t stride = static_cast<size_t>(bitmap.GetBytesPerRow()) + bitmap.GetRowPadding();
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << "P6\n" << width << " " << height << "\n255\n";
  std::vector<char> row(width * 3);
  for (size_t y = 0; y < height; ++y) {
    const size_t memoryRow = bitmap.IsTopDown() ? y : height - 1 - y;
    const BYTE* from = bitmap.GetPixels() + memoryRow * stride;
    for (size_t x = 0; x < width; ++x) {
      row[3 * x] = static_cast<char>(from[3 * x + 2]);
      row[3 * x + 1] = static_cast<char>(from[3 * x + 1]);
      row[3 * x + 2] = static_cast<char>(from[3 * x]);
    }
    out.write(row.data(), static_cast<std::streamsize>(row.size()));
  }
  out.close();
  if (!out) {
    problem = "cannot write '" + path + "'";
    return false;
  }
  return true;
}

}  // namespace fndtool
