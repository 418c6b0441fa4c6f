#include "kilnar/recorder/StreamPrimitives.h"

#include <cstring>
#include <vector>

bool WriteWord(CwStream& stream, uint16_t value) {
  const uint8_t bytes[2] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
  return stream.Write(bytes, sizeof bytes);
}

bool WriteDword(CwStream& stream, uint32_t value) {
  const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                            static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
  return stream.Write(bytes, sizeof bytes);
}

bool WriteByte(CwStream& stream, uint8_t value) { return stream.Write(&value, 1); }

bool WriteFlag(CwStream& stream, bool value) { return WriteByte(stream, value ? 1 : 0); }

bool WriteText(CwStream& stream, const char* text) {
  const size_t length = text ? std::strlen(text) : 0;
  if (length > 0xFFFF) return false;
  if (!WriteWord(stream, static_cast<uint16_t>(length))) return false;
  return length == 0 || stream.Write(text, static_cast<uint32_t>(length));
}

bool WriteTime(CwStream& stream, const TimeStamp& time) { return WriteDword(stream, time.GetValue()); }

bool ReadWord(CwStream& stream, uint16_t& value) {
  uint8_t bytes[2] = {};
  if (!stream.Read(bytes, sizeof bytes)) return false;
  value = static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
  return true;
}

bool ReadDword(CwStream& stream, uint32_t& value) {
  uint8_t bytes[4] = {};
  if (!stream.Read(bytes, sizeof bytes)) return false;
  value = static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
          static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
  return true;
}

bool ReadByte(CwStream& stream, uint8_t& value) { return stream.Read(&value, 1); }

bool ReadFlag(CwStream& stream, bool& value) {
  uint8_t byte = 0;
  if (!ReadByte(stream, byte)) return false;
  value = byte != 0;
  return true;
}

bool ReadText(CwStream& stream, char* buffer, size_t size) {
  uint16_t length = 0;
  if (!buffer || size == 0 || !ReadWord(stream, length)) return false;
  std::vector<char> text(length);
  if (length > 0 && !stream.Read(text.data(), length)) return false;
  const size_t kept = length < size ? length : size - 1;
  if (kept > 0) std::memcpy(buffer, text.data(), kept);
  buffer[kept] = '\0';
  return kept == length;
}

bool ReadText(CwStream& stream, SplitPath& path) {
  std::vector<char> text(0x10000);
  if (!ReadText(stream, text.data(), text.size())) return false;
  path.Set(text.data());
  return true;
}

bool ReadTime(CwStream& stream, TimeStamp& time) {
  uint32_t value = 0;
  if (!ReadDword(stream, value)) return false;
  time = TimeStamp(value);
  return true;
}
