// DecodeJpeg on arbitrary bytes.
#include "PictureFuzzInput.h"
#include "plugins/pictolan/pictures/JpegDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return picturefuzz::DecodeInput(data, size, pictolan::DecodeJpeg);
}
