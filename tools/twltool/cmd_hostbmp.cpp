// `twltool hostbmp`: a BMP picture loaded as a plug-in loads it into its
// own pixel buffer (host API slot 193), written out as a PPM file.
#include <cstdio>
#include <string>
#include <vector>

#include "HostCalls.h"
#include "driver/Command.h"
#include "driver/Numbers.h"

using twltool::Host;
using twltool::HostErrorText;

namespace {

struct Options {
  DWORD bits = 32;
  int32_t width = 0;  // 0: the picture's
  int32_t height = 0;
  std::string url;
  std::string out;
};

// "WxH" with both at least 1.
bool ParseSize(const std::string& text, int32_t& width, int32_t& height) {
  const size_t x = text.find('x');
  uint64_t w = 0;
  uint64_t h = 0;
  if (x == std::string::npos || !tool::ParseUnsigned(text.substr(0, x), w, 0x7FFF) ||
      !tool::ParseUnsigned(text.substr(x + 1), h, 0x7FFF) || w == 0 || h == 0)
    return false;
  width = static_cast<int32_t>(w);
  height = static_cast<int32_t>(h);
  return true;
}

bool ParseOptions(const tool::Args& args, Options& options, std::string& message) {
  size_t i = 0;
  for (; i + 1 < args.size() && args[i].starts_with("--"); i += 2) {
    const std::string& name = args[i];
    const std::string& value = args[i + 1];
    if (name == "--bits" && (value == "16" || value == "24" || value == "32")) {
      options.bits = static_cast<DWORD>(std::stoul(value));
    } else if (name == "--size" && ParseSize(value, options.width, options.height)) {
    } else {
      message = "bad option " + name + " " + value;
      return false;
    }
  }
  if (i + 2 != args.size()) {
    message = "hostbmp takes options, a URL and an output file";
    return false;
  }
  options.url = args[i];
  options.out = args[i + 1];
  return true;
}

DDPIXELFORMAT RgbFormat(DWORD bits) {
  if (bits == 16) return DDPIXELFORMAT{32, DDPF_RGB, 0, 16, 0xF800, 0x07E0, 0x001F, 0};
  return DDPIXELFORMAT{32, DDPF_RGB, 0, bits, 0xFF0000, 0x00FF00, 0x0000FF, 0};
}

// A channel of a pixel as 8 bits: a narrower one has its bits repeated
// downward, a wider one keeps its top 8.
unsigned char Channel(DWORD pixel, DWORD mask) {
  if (mask == 0) return 0;
  int shift = 0;
  while (!((mask >> shift) & 1)) ++shift;
  int width = 0;
  while (shift + width < 32 && ((mask >> (shift + width)) & 1)) ++width;
  const DWORD value = (pixel & mask) >> shift;
  if (width >= 8) return static_cast<unsigned char>(value >> (width - 8));
  DWORD wide = value << (8 - width);
  for (int filled = width; filled < 8; filled += width) wide |= wide >> width;
  return static_cast<unsigned char>(wide);
}

// The picture's size, through the slot that loads it whole.
bool PictureSize(const std::string& url, int32_t& width, int32_t& height) {
  DDPIXELFORMAT format{};
  void* bits = nullptr;
  int32_t pitch = 0;
  if (!Host().HOST_LoadBitmap(url.c_str(), &format, &bits, &pitch, &width, &height)) return false;
  Host().HOST_Free(bits);
  return true;
}

bool WritePpm(const std::string& path, const std::vector<unsigned char>& pixels, size_t pitch,
              const DDPIXELFORMAT& format, int32_t width, int32_t height) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  std::fprintf(file, "P6\n%d %d\n255\n", width, height);
  const size_t bytesPerPixel = format.dwRGBBitCount / 8;
  std::vector<unsigned char> row(static_cast<size_t>(width) * 3);
  bool ok = true;
  for (int32_t y = 0; y < height && ok; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      DWORD pixel = 0;
      const unsigned char* at = pixels.data() + static_cast<size_t>(y) * pitch + static_cast<size_t>(x) * bytesPerPixel;
      for (size_t b = 0; b < bytesPerPixel; ++b) pixel |= static_cast<DWORD>(at[b]) << (8 * b);
      unsigned char* rgb = row.data() + static_cast<size_t>(x) * 3;
      rgb[0] = Channel(pixel, format.dwRBitMask);
      rgb[1] = Channel(pixel, format.dwGBitMask);
      rgb[2] = Channel(pixel, format.dwBBitMask);
    }
    ok = std::fwrite(row.data(), 1, row.size(), file) == row.size();
  }
  return std::fclose(file) == 0 && ok;
}

}  // namespace

TOOL_COMMAND(RunHostBmp, "hostbmp",
             "[--bits 16|24|32] [--size WxH] URL OUT.ppm  load the BMP picture of URL as a plug-in does into an RGB "
             "buffer of that depth (default 32; 16 is 5-6-5) and the picture's size or WxH, and write what it got "
             "as a binary PPM (8 bits a channel, each widened from its mask); a failure prints the host's error text "
             "and exits with 1") {
  Options options;
  std::string message;
  if (!ParseOptions(args, options, message)) return tool::Fail(message);
  if (options.width == 0 && !PictureSize(options.url, options.width, options.height))
    return tool::Fail(HostErrorText());
  const DDPIXELFORMAT format = RgbFormat(options.bits);
  const size_t pitch = (static_cast<size_t>(options.width) * (options.bits / 8) + 3) & ~size_t{3};
  std::vector<unsigned char> pixels(pitch * static_cast<size_t>(options.height));
  if (!Host().HOST_LoadBitmapData(options.url.c_str(), &format, pixels.data(), static_cast<int32_t>(pitch),
                                  options.width, options.height))
    return tool::Fail(HostErrorText());
  if (!WritePpm(options.out, pixels, pitch, format, options.width, options.height))
    return tool::Fail("cannot write " + options.out);
  return 0;
}
