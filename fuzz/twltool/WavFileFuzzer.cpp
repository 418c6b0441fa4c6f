// twltool's WAV reader on arbitrary bytes. Refusals are expected; a crash,
// a sanitizer report, or sound that lies outside the bytes is a finding.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "tools/twltool/WavFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  twltool::WavSound sound;
  std::string error;
  if (!twltool::ParseWav(bytes, sound, error)) return 0;
  const bool inside = sound.data.data() >= bytes.data() && sound.data.data() + sound.data.size() <= bytes.data() + size;
  const uint32_t block = sound.bits / 8u * sound.channels;
  if (!inside || block == 0 || sound.data.size() % block != 0) std::abort();
  return 0;
}
