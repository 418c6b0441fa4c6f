#include "kilnar/app/StoredFields.h"


#include "kilnar/recorder/CwStream.h"
#include "kilnar/recorder/StreamPrimitives.h"

bool WriteString(CwStream& stream, const std::string& text) {
  if (text.find('\0') != std::string::npos) return false;
  return WriteText(stream, text.c_str());
}

bool ReadString(CwStream& stream, std::string& text, size_t field) {
  uint16_t length = 0;
  if (!ReadStored(stream, length) || length >= field || length > BytesLeft(stream)) return false;
  std::string read(length, '\0');
  if (length > 0 && !stream.Read(read.data(), length)) return false;
  if (read.find('\0') != std::string::npos) return false;
  text = std::move(read);
  return true;
}

bool ReadStoredBytes(CwStream& stream, void* buffer, uint32_t length) {
  if (length > BytesLeft(stream)) return false;
  return stream.Read(buffer, length);
}

uint64_t BytesLeft(CwStream& stream) {
  const int64_t position = stream.Tell();
  const uint64_t size = stream.GetSize();
  return position >= 0 && static_cast<uint64_t>(position) < size ? size - static_cast<uint64_t>(position) : 0;
}

bool ReadStored(CwStream& stream, uint8_t& value) { return BytesLeft(stream) >= 1 && ReadByte(stream, value); }

bool ReadStored(CwStream& stream, uint16_t& value) { return BytesLeft(stream) >= 2 && ReadWord(stream, value); }

bool ReadStored(CwStream& stream, uint32_t& value) { return BytesLeft(stream) >= 4 && ReadDword(stream, value); }

bool ReadStored(CwStream& stream, bool& value) { return BytesLeft(stream) >= 1 && ReadFlag(stream, value); }

bool ReadStored(CwStream& stream, TimeStamp& time) { return BytesLeft(stream) >= 4 && ReadTime(stream, time); }
