// The size a picture file claims in its headers, read without decoding
// the picture, so that code bounding what a picture may cost (fndtool
// writing it in a larger format, the fuzz targets) can refuse it before a
// reader spends memory on its pixels. Reads from the caller's stream; no
// state.
#pragma once

#include <cstdint>

class CStream;

struct ClaimedPictureSize {
  uint64_t width = 0;
  uint64_t height = 0;
};

// The width and height of the picture (the first image of a GIF file) at
// the stream's position; the position is left anywhere. False when the
// headers cannot be read: the file is not a BMP, GIF, XTRMPIC or IMG_IMAGE
// file, or they are cut short. The reader then reports what is wrong.
bool ReadClaimedPictureSize(CStream& stream, ClaimedPictureSize& size);
