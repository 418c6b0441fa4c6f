// The picture-file readers on arbitrary bytes: the format is detected and
// its reader run, as for a file from a skin; a bitmap that loads is then
// converted to 24-bit RGB, which reads every pixel through its palette or
// masks. Pictures whose headers claim more than a million pixels are
// not loaded: a few bytes of data may rightly make such a picture (rows
// the data never reaches are zero), and filling it would slow the search
// without reaching other code; the tests hold hostile files of that kind.
// Errors are expected; anything else (a crash, a sanitizer report, an
// exception other than an error object) is a finding.
#include <cstddef>
#include <cstdint>

#include "foundation/bitmapfiles/PictureSize.h"
#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/kernel/Error.h"
#include "foundation/streams/MemoryStream.h"

namespace {

constexpr uint64_t kMaxPixels = 1 << 20;

// A claimed size within the bound; headers that cannot be read pass, since
// the reader then fails on them early.
bool ClaimsFewPixels(CStream& stream) {
  ClaimedPictureSize size;
  const bool small = !ReadClaimedPictureSize(stream, size) ||
                     (size.width <= kMaxPixels && size.height <= kMaxPixels && size.width * size.height <= kMaxPixels);
  stream.Seek(0, kSeekFromStart, nullptr);
  return small;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 0x7FFFFFFF) return 0;
  CMemoryStream stream;
  stream.OpenCopy(data, static_cast<DWORD>(size), kStreamRead | kStreamSeek);
  CDIBitmap bitmap;
  try {
    if (!ClaimsFewPixels(stream)) return 0;
    bitmap.Load(stream);
    if (static_cast<uint64_t>(bitmap.GetWidth()) * bitmap.GetHeight() <= kMaxPixels) {
      CPixelFormat rgb;
      rgb.SetMasks(24, 0xFF0000, 0xFF00, 0xFF);
      bitmap.ChangeFormat(rgb, nullptr, 1, 0);
    }
  } catch (CError* error) {
    DisposeError(error);
  }
  return 0;
}
