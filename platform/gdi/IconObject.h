// Icons and cursors as objects behind HICON: a colour image with straight
// alpha and an AND mask, plus a hotspot. Resource loading, image lists and
// the shell create them here. Thread-safe: icons never change once made.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "twlwin/types.h"

namespace twl {

struct IconImage {
  int width = 0;
  int height = 0;
  bool isIcon = true;  // false for a cursor
  DWORD hotspotX = 0;
  DWORD hotspotY = 0;
  // One entry per pixel, top row first: 0xAARRGGBB with straight alpha.
  std::vector<uint32_t> colour;
  // One entry per pixel: true where the AND mask is set, that is where the
  // destination shows through (XOR-ed with the colour, which is black for a
  // plain transparent pixel).
  std::vector<uint8_t> mask;
  // When set, partly transparent pixels are blended by their alpha; when
  // not, the image is drawn by its mask alone, as icons made from a mask
  // and a colour bitmap without alpha are.
  bool hasAlpha = false;
};

// Makes an icon (or a cursor, isIcon false) from width*height pixels given
// as R, G, B, A bytes, top row first. Pixels with alpha 0 are transparent.
// A shared icon survives DestroyIcon, as icons loaded from resources do;
// whoever made it keeps it for the life of the process. Returns null for
// sizes outside 1..256 or a null pixel pointer.
HICON CreateIconFromRgba(int width, int height, const uint8_t* rgba, DWORD hotspotX, DWORD hotspotY,
                         bool isIcon, bool shared);

// An icon made from a prepared image (sizes are checked as above).
HICON CreateIconFromImage(IconImage image, bool shared);

// The image behind an icon handle, or null for a handle that is not one.
std::shared_ptr<const IconImage> FindIconImage(HICON icon);

// ExtractIconA asks the module resource code for the icon number `index`
// of a program or library file. The resource code installs the extractor
// when it starts; until then ExtractIconA finds nothing. The extractor
// returns null when the file or the icon is missing; a returned icon
// belongs to the caller of ExtractIconA.
using IconExtractor = HICON (*)(const char* file, int index);
void SetIconExtractor(IconExtractor extractor);
// Runs the installed extractor; null when there is none.
HICON ExtractIconFromFile(const char* file, int index);

// The image scaled to width x height (nearest pixel); the same image when
// the size already matches.
IconImage ScaleIconImage(const IconImage& image, int width, int height);

// Draws the image with its top-left corner at logical x, y of the DC at
// width x height (0 for the image's own size) with DI_ flags. False with
// ERROR_INVALID_HANDLE for a bad DC.
bool DrawIconImage(HDC dc, const IconImage& image, int x, int y, int width, int height, UINT flags);

}  // namespace twl
