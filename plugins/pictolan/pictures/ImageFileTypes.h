// The four picture file types and the order in which the player tries
// them: BMP and GIF through the foundation's readers, then JPEG, TIFF and
// PNG through their decoders. JPEG and TIFF data is recognised whatever
// the file's extension; PNG only with ".png", BMP and GIF only with their
// own.
#pragma once

#include <array>
#include <memory>

#include "plugins/pictolan/pictures/ImageFileType.h"

namespace pictolan {

class BitmapFileType : public ImageFileType {
 public:
  explicit BitmapFileType(const HostApiTable* host);
  bool Load(CStream& stream, const char* extension, CDIBitmap& bitmap) override;
};

class JpegFileType : public ImageFileType {
 public:
  explicit JpegFileType(const HostApiTable* host);
  bool Load(CStream& stream, const char* extension, CDIBitmap& bitmap) override;
};

class TiffFileType : public ImageFileType {
 public:
  explicit TiffFileType(const HostApiTable* host);
  bool Load(CStream& stream, const char* extension, CDIBitmap& bitmap) override;
};

class PngFileType : public ImageFileType {
 public:
  explicit PngFileType(const HostApiTable* host);
  bool Load(CStream& stream, const char* extension, CDIBitmap& bitmap) override;
};

// The types in the player's order: Bitmap, Jpeg, Tiff, Png.
using ImageFileTypeList = std::array<std::unique_ptr<ImageFileType>, 4>;
ImageFileTypeList MakeImageFileTypes(const HostApiTable* host);

}  // namespace pictolan
