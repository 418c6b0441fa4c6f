// DecodeTiff on arbitrary bytes. libtiff's process-wide handlers abort:
// every message of a decode must stay with the decode.
#include <tiffio.h>

#include <cstdlib>

#include "PictureFuzzInput.h"
#include "plugins/pictolan/pictures/TiffDecoder.h"

namespace {

[[noreturn]] void MessageEscaped(const char*, const char*, va_list) { std::abort(); }

[[maybe_unused]] const bool g_HandlersInstalled = [] {
  TIFFSetErrorHandler(&MessageEscaped);
  TIFFSetWarningHandler(&MessageEscaped);
  return true;
}();

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return picturefuzz::DecodeInput(data, size, pictolan::DecodeTiff);
}
