#include "plugins/pictolan/pictures/ImageFileTypes.h"

#include "foundation/bitmaps/DIBitmap.h"
#include "plugins/pictolan/pictures/JpegDecoder.h"
#include "plugins/pictolan/pictures/PngDecoder.h"
#include "plugins/pictolan/pictures/TiffDecoder.h"
#include "plugins/pluginsdk/NameExtension.h"

namespace pictolan {
namespace {

bool IsExtension(const char* extension, const char* wanted) {
  return extension && pluginsdk::EqualsIgnoringCase(extension, wanted);
}

}  // namespace

BitmapFileType::BitmapFileType(const HostApiTable* host) : ImageFileType("BitmapFileType", host) {
  AddExtension("bmp", "Windows bitmap file");
  AddExtension("gif", "Compuserve bitmap file");
}

bool BitmapFileType::Load(CStream& stream, const char* extension, CDIBitmap& bitmap) {
  if (IsExtension(extension, ".bmp")) return RunReader([&] {
      bitmap.LoadBMP(stream);
      return true;
    });
  if (IsExtension(extension, ".gif")) return RunReader([&] {
      bitmap.LoadGIF(stream);
      return true;
    });
  return RefuseAsUnsupported();
}

JpegFileType::JpegFileType(const HostApiTable* host) : ImageFileType("JpegFileType", host) {
  AddExtension("jpg", "JPEG image file");
  AddExtension("jpeg", "JPEG image file");
}

bool JpegFileType::Load(CStream& stream, const char*, CDIBitmap& bitmap) {
  return RunReader([&] { return DecodeJpeg(stream, bitmap); });
}

TiffFileType::TiffFileType(const HostApiTable* host) : ImageFileType("TiffFileType", host) {
  AddExtension("tiff", "TIFF image file");
  AddExtension("tif", "TIFF image file");
}

bool TiffFileType::Load(CStream& stream, const char*, CDIBitmap& bitmap) {
  return RunReader([&] { return DecodeTiff(stream, bitmap); });
}

PngFileType::PngFileType(const HostApiTable* host) : ImageFileType("PngFileType", host) {
  AddExtension("png", "PNG image file");
}

bool PngFileType::Load(CStream& stream, const char* extension, CDIBitmap& bitmap) {
  if (!IsExtension(extension, ".png")) return RefuseAsUnsupported();
  return RunReader([&] { return DecodePng(stream, bitmap); });
}

ImageFileTypeList MakeImageFileTypes(const HostApiTable* host) {
  return {std::make_unique<BitmapFileType>(host), std::make_unique<JpegFileType>(host),
          std::make_unique<TiffFileType>(host), std::make_unique<PngFileType>(host)};
}

}  // namespace pictolan
