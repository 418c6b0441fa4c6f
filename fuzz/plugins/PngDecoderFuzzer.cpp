// DecodePng on arbitrary bytes.
#include "PictureFuzzInput.h"
#include "plugins/pictolan/pictures/PngDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return picturefuzz::DecodeInput(data, size, pictolan::DecodePng);
}
