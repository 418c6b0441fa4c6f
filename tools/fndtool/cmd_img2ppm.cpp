// fndtool img2ppm: loads a picture file (BMP, GIF, XTRMPIC, IMG_IMAGE)
// through the bitmap file readers and writes it as a binary PPM to stdout,
// for comparing the readers with other programs.
#include <cstdio>

#include "driver/Command.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/kernel/Error.h"

namespace {

// Red, green and blue bytes in that order, rows top-down without padding.
void ConvertToPPMLayout(CDIBitmap& bitmap) {
  CPixelFormat rgb;
  rgb.SetMasks(24, 0xFF, 0xFF00, 0xFF0000);
  bitmap.SetColorKeyFlag(false);
  bitmap.ChangeFormat(rgb, nullptr, 1, 0);
}

bool WritePPM(const CDIBitmap& bitmap) {
  std::printf("P6\n%u %u\n255\n", bitmap.GetWidth(), bitmap.GetHeight());
  const size_t size = bitmap.HasPixels() ? bitmap.GetDataSize() : 0;
  if (size && std::fwrite(bitmap.GetPixels(), 1, size, stdout) != size) return false;
  return std::fflush(stdout) == 0;
}

}  // namespace

TOOL_COMMAND(RunImg2Ppm, "img2ppm",
                "URL  load a BMP, GIF, XTRMPIC or IMG_IMAGE file (a path or file:// URL) and write it\n      to stdout as a binary PPM (P6)") {
  if (args.size() != 1) return tool::Fail("img2ppm takes one URL");
  CDIBitmap bitmap;
  try {
    bitmap.Load(args[0].c_str());
    ConvertToPPMLayout(bitmap);
  } catch (CError* error) {
    const int code = tool::Fail(error->GetText().c_str());
    DisposeError(error);
    return code;
  }
  if (!WritePPM(bitmap)) return tool::Fail("cannot write to stdout");
  return 0;
}
