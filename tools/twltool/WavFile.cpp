#include "WavFile.h"

#include <algorithm>
#include <cstdint>
#include <fstream>

namespace twltool {
namespace {

uint32_t Read16(std::string_view bytes, size_t at) {
  return static_cast<uint8_t>(bytes[at]) | static_cast<uint8_t>(bytes[at + 1]) << 8;
}

uint32_t Read32(std::string_view bytes, size_t at) { return Read16(bytes, at) | Read16(bytes, at + 2) << 16; }

constexpr size_t kLargestFile = size_t{1} << 30;

bool ReadWholeFile(const std::string& path, std::string& bytes) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  file.seekg(0, std::ios::end);
  const std::streamoff size = file.tellg();
  if (size < 0 || static_cast<uint64_t>(size) > kLargestFile) return false;
  file.seekg(0);
  bytes.resize(static_cast<size_t>(size));
  return static_cast<bool>(file.read(bytes.data(), size));
}

bool Refuse(std::string& error, const std::string& reason) {
  error = reason;
  return false;
}

bool ParseFormat(std::string_view chunk, WavSound& sound, std::string& error) {
  if (chunk.size() < 16) return Refuse(error, "the fmt chunk is too short");
  const uint32_t tag = Read16(chunk, 0);
  if (tag != 1) return Refuse(error, "not PCM (format tag " + std::to_string(tag) + ")");
  sound.channels = static_cast<uint16_t>(Read16(chunk, 2));
  sound.rate = Read32(chunk, 4);
  const uint32_t blockAlign = Read16(chunk, 12);
  sound.bits = static_cast<uint16_t>(Read16(chunk, 14));
  if (sound.bits != 8 && sound.bits != 16) return Refuse(error, std::to_string(sound.bits) + "-bit samples are not played");
  if (sound.channels != 1 && sound.channels != 2) {
    return Refuse(error, std::to_string(sound.channels) + " channels are not played");
  }
  if (sound.rate == 0) return Refuse(error, "the sample rate is 0");
  if (blockAlign != sound.bits / 8u * sound.channels) return Refuse(error, "the block size does not fit the format");
  return true;
}

}  // namespace

bool ParseWav(std::string_view bytes, WavSound& sound, std::string& error) {
  sound = WavSound{};
  if (bytes.size() < 12 || bytes.substr(0, 4) != "RIFF" || bytes.substr(8, 4) != "WAVE") {
    return Refuse(error, "not a RIFF WAVE file");
  }
  // Chunks end where the RIFF size says, or where the file does.
  const size_t end = std::min<size_t>(bytes.size(), 8 + static_cast<size_t>(Read32(bytes, 4)));
  bool haveFormat = false;
  for (size_t at = 12; at + 8 <= end;) {
    const std::string_view id = bytes.substr(at, 4);
    const size_t size = Read32(bytes, at + 4);
    const size_t body = at + 8;
    if (size > end - body) return Refuse(error, "the " + std::string(id) + " chunk runs past the end of the file");
    const std::string_view chunk = bytes.substr(body, size);
    if (id == "fmt " && !haveFormat) {
      if (!ParseFormat(chunk, sound, error)) return false;
      haveFormat = true;
    } else if (id == "data") {
      if (!haveFormat) return Refuse(error, "the data chunk comes before the fmt chunk");
      if (size % (sound.bits / 8u * sound.channels) != 0) return Refuse(error, "the data is not a whole number of frames");
      sound.data = chunk;
      return true;
    }
    at = body + size + (size & 1);  // chunks are padded to even sizes
  }
  return Refuse(error, haveFormat ? "no data chunk" : "no fmt chunk");
}

bool LoadWav(const std::string& path, std::string& bytes, WavSound& sound, std::string& error) {
  if (!ReadWholeFile(path, bytes)) return Refuse(error, "cannot read '" + path + "'");
  if (ParseWav(bytes, sound, error)) return true;
  error = path + ": " + error;
  return false;
}

}  // namespace twltool
