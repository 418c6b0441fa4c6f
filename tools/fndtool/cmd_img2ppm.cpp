// fndtool img2ppm: loads a picture file (BMP, GIF, XTRMPIC, IMG_IMAGE)
// through the bitmap file readers and writes it as a binary PPM to stdout,
// for comparing the readers with other programs.
#include <cstdio>
#include <string>

#include "driver/Command.h"
#include "foundation/bitmapfiles/PictureSize.h"
#include "foundation/bitmaps/BitmapError.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/errors/LocalText.h"
#include "foundation/filesystem/FileSystem.h"
#include "foundation/kernel/Error.h"
#include "foundation/streams/Stream.h"

namespace {

constexpr DWORD kOpenFlags = kStreamRead | kStreamSeek | kStreamShareRead;
constexpr uint64_t kPPMBytesPerPixel = 3;

// The PPM pixels are one bitmap of 24 bits per pixel: a picture whose
// claimed size cannot be made so is refused before a reader decodes it.
bool OutputFits(const ClaimedPictureSize& size) {
  const uint64_t rowBytes = size.width * kPPMBytesPerPixel;
  return rowBytes <= CDIBitmap::kMaxDataSize && rowBytes * size.height <= CDIBitmap::kMaxDataSize;
}

// Red, green and blue bytes in that order, rows top-down without padding.
void ConvertToPPMLayout(CDIBitmap& bitmap) {
  CPixelFormat rgb;
  rgb.SetMasks(24, 0xFF, 0xFF00, 0xFF0000);
  bitmap.SetColorKeyFlag(false);
  bitmap.ChangeFormat(rgb, nullptr, 1, 0);
}

// Loads the picture when its 24-bit output fits; false when it does not.
bool LoadFitting(const std::string& url, CDIBitmap& bitmap) {
  CStream* stream = GetFileSystem().Open(url.c_str(), kOpenFlags, 0);
  try {
    ClaimedPictureSize size;
    const bool fits = !ReadClaimedPictureSize(*stream, size) || OutputFits(size);
    if (fits) {
      stream->Seek(0, kSeekFromStart, nullptr);
      bitmap.Load(*stream);
    }
    stream->Close();
    return fits;
  } catch (...) {
    stream->CloseNoThrow();
    throw;
  }
}

bool WritePPM(const CDIBitmap& bitmap) {
  std::printf("P6\n%u %u\n255\n", bitmap.GetWidth(), bitmap.GetHeight());
  const size_t size = bitmap.HasPixels() ? bitmap.GetDataSize() : 0;
  if (size && std::fwrite(bitmap.GetPixels(), 1, size, stdout) != size) return false;
  return std::fflush(stdout) == 0;
}

}  // namespace

TOOL_COMMAND(RunImg2Ppm, "img2ppm",
                "URL  load a BMP, GIF, XTRMPIC or IMG_IMAGE file (a path or file:// URL) and write it\n"
                "      to stdout as a binary PPM (P6); a picture whose PPM would exceed 2 GiB is refused\n"
                "      before it is decoded") {
  if (args.size() != 1) return tool::Fail("img2ppm takes one URL");
  CDIBitmap bitmap;
  try {
    if (!LoadFitting(args[0], bitmap)) return tool::Fail(LocalText(kTooLargeKey, kTooLargeText).c_str());
    ConvertToPPMLayout(bitmap);
  } catch (CError* error) {
    const int code = tool::Fail(error->GetText().c_str());
    DisposeError(error);
    return code;
  }
  if (!WritePPM(bitmap)) return tool::Fail("cannot write to stdout");
  return 0;
}
