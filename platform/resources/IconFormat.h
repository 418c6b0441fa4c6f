// Icon (.ico) and cursor (.cur) files: a directory of images of several
// sizes and colour depths, each a DIB with a transparency mask below it.
// Like the DIB reader it checks everything and depends on nothing else of
// the layer. PNG-compressed images are not read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace twl::resources {

struct IconFileImage {
  int32_t width = 0;
  int32_t height = 0;
  int32_t hotspotX = 0;  // a cursor's hot spot; an icon's centre
  int32_t hotspotY = 0;
  uint16_t bitCount = 0;
  // Per pixel, top row first: the colour as 0xAARRGGBB, and the mask (1
  // where the background shows through). With an alpha channel the colour
  // carries straight alpha; without one, alpha is 255 where the mask is
  // clear and 0 where it is set.
  std::vector<uint32_t> colour;
  std::vector<uint8_t> mask;
  bool hasAlpha = false;
};

struct IconFile {
  bool isCursor = false;
  std::vector<IconFileImage> images;
};

bool ReadIconFile(const uint8_t* data, size_t size, IconFile& file, std::string& error);

// The image for a wanted size: the exact size if there is one, else the
// nearest (the larger on a tie); the most colours among equals. Zero for a
// side means any.
const IconFileImage& BestImage(const IconFile& file, int32_t width, int32_t height);

}  // namespace twl::resources
