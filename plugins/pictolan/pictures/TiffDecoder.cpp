#include "plugins/pictolan/pictures/TiffDecoder.h"

#include <tiffio.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>

#include "foundation/bitmaps/DIBitmap.h"
#include "foundation/kernel/Error.h"
#include "foundation/streams/Stream.h"
#include "foundation/streams/StreamError.h"
#include "plugins/pictolan/pictures/StreamReads.h"

namespace pictolan {
namespace {

// The last error and warning libtiff gave for one decode.
struct TiffMessages {
  char error[512] = "";
  char warning[512] = "";
};

int KeepMessage(char* text, size_t size, const char* format, va_list arguments) {
  std::vsnprintf(text, size, format, arguments);
  // Handled: the process-wide handlers hear nothing of it.
  return 1;
}

int KeepError(TIFF*, void* data, const char*, const char* format, va_list arguments) {
  auto* messages = static_cast<TiffMessages*>(data);
  return KeepMessage(messages->error, sizeof messages->error, format, arguments);
}

int KeepWarning(TIFF*, void* data, const char*, const char* format, va_list arguments) {
  auto* messages = static_cast<TiffMessages*>(data);
  return KeepMessage(messages->warning, sizeof messages->warning, format, arguments);
}

CStream& StreamOf(thandle_t handle) { return *static_cast<CStream*>(handle); }

tmsize_t ReadProc(thandle_t handle, void* buffer, tmsize_t size) {
  if (size <= 0) return 0;
  const DWORD wanted = size > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<DWORD>(size);
  return ReadIgnoringErrors(StreamOf(handle), buffer, wanted);
}

tmsize_t WriteProc(thandle_t, void*, tmsize_t) { return 0; }

constexpr toff_t kFailedOffset = ~toff_t{0};

toff_t SeekProc(thandle_t handle, toff_t offset, int whence) {
  DWORD origin = kSeekFromStart;
  if (whence == SEEK_CUR) origin = kSeekFromCurrent;
  if (whence == SEEK_END) origin = kSeekFromEnd;
  try {
    CStream& stream = StreamOf(handle);
    stream.Seek(static_cast<LONGLONG>(offset), origin, nullptr);
    return static_cast<toff_t>(stream.GetPosition());
  } catch (CError* error) {
    DisposeError(error);
  } catch (...) {
  }
  return kFailedOffset;
}

int CloseProc(thandle_t) { return 0; }

toff_t SizeProc(thandle_t handle) {
  try {
    return static_cast<toff_t>(StreamOf(handle).GetLength(false, nullptr));
  } catch (CError* error) {
    DisposeError(error);
  } catch (...) {
  }
  return kFailedOffset;
}

struct OptionsDeleter {
  void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};
struct TiffCloser {
  void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};

TIFF* OpenTiff(CStream& stream, TiffMessages& messages) {
  std::unique_ptr<TIFFOpenOptions, OptionsDeleter> options(TIFFOpenOptionsAlloc());
  if (!options) ThrowMemoryError();
  TIFFOpenOptionsSetErrorHandlerExtR(options.get(), &KeepError, &messages);
  TIFFOpenOptionsSetWarningHandlerExtR(options.get(), &KeepWarning, &messages);
  // No single buffer of the library grows beyond what a bitmap may hold.
  TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), CDIBitmap::kMaxDataSize);
  const CStr path = StreamUrlOrEmpty(stream);
  return TIFFClientOpenExt(path.c_str(), "rm", &stream, &ReadProc, &WriteProc, &SeekProc, &CloseProc, &SizeProc,
                           nullptr, nullptr, options.get());
}

CPixelFormat RgbaFormat() {
  CPixelFormat format;
  format.SetMasks(32, 0x000000FF, 0x0000FF00, 0x00FF0000);
  return format;
}

bool ReadPicture(TIFF* tiff, CDIBitmap& bitmap, const DecodeOptions& options) {
  uint32_t width = 0;
  uint32_t height = 0;
  if (!TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width) || !TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height)) return false;
  if (!CreatePictureBitmap(bitmap, width, height, RgbaFormat(), false, options)) return false;
  // Strips libtiff cannot read are skipped and leave their rows as they
  // were: black, never what the memory held before.
  std::memset(bitmap.GetPixels(), 0, bitmap.GetDataSize());
  auto* raster = reinterpret_cast<uint32_t*>(bitmap.GetPixels());
  return TIFFReadRGBAImage(tiff, width, height, raster, 0) != 0;
}

void HandOverMessages(const TiffMessages& messages, const DecodeOptions& options) {
  if (!options.messages) return;
  CStr text(messages.error);
  if (*messages.warning) {
    if (!text.IsEmpty()) text += "\n";
    text += messages.warning;
  }
  *options.messages = text;
}

}  // namespace

bool DecodeTiff(CStream& stream, CDIBitmap& bitmap, const DecodeOptions& options) {
  auto messages = std::make_unique<TiffMessages>();
  std::unique_ptr<TIFF, TiffCloser> tiff(OpenTiff(stream, *messages));
  bool decoded = false;
  try {
    decoded = tiff && ReadPicture(tiff.get(), bitmap, options);
  } catch (...) {
    HandOverMessages(*messages, options);
    throw;
  }
  tiff.reset();
  HandOverMessages(*messages, options);
  return decoded;
}

}  // namespace pictolan
