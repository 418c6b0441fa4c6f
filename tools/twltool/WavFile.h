// Reading PCM WAV files for twltool: a RIFF "WAVE" file with a "fmt "
// chunk of PCM (8 or 16 bits, one or two channels) before its "data"
// chunk. Every size is checked against the bytes there are; anything else
// is refused with a message saying why. Pure functions.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace twltool {

struct WavSound {
  uint32_t rate = 0;
  uint16_t bits = 0;
  uint16_t channels = 0;
  std::string_view data;  // whole frames, inside the parsed bytes
};

// False with the reason in `error`.
bool ParseWav(std::string_view bytes, WavSound& sound, std::string& error);

// Reads a whole file (up to 1 GiB) into `bytes` and parses it; false with
// "cannot read 'PATH'" or "PATH: reason" in `error`.
bool LoadWav(const std::string& path, std::string& bytes, WavSound& sound, std::string& error);

}  // namespace twltool
