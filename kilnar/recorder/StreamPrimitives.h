// Values written to and read from any stream in the engine's stored form:
// little-endian, no padding; 16-bit values in 2 bytes, 32-bit values in 4,
// bytes and flags in 1 (a flag reads back as true for any non-zero byte);
// a text as a 16-bit length and that many characters, without terminator;
// a time stamp as its 32-bit value, where 0 reads back as the current time.
// Each answers whether the stream took or gave every byte, so that a cut
// or damaged file is noticed.
#pragma once

#include <cstddef>
#include <cstdint>

#include "kilnar/recorder/CwStream.h"
#include "kilnar/recorder/SplitPath.h"
#include "kilnar/recorder/TimeStamp.h"

bool WriteWord(CwStream& stream, uint16_t value);
bool WriteDword(CwStream& stream, uint32_t value);
bool WriteByte(CwStream& stream, uint8_t value);
bool WriteFlag(CwStream& stream, bool value);
// Texts of more than 65535 characters cannot be stored: false, nothing
// written.
bool WriteText(CwStream& stream, const char* text);
bool WriteTime(CwStream& stream, const TimeStamp& time);

bool ReadWord(CwStream& stream, uint16_t& value);
bool ReadDword(CwStream& stream, uint32_t& value);
bool ReadByte(CwStream& stream, uint8_t& value);
bool ReadFlag(CwStream& stream, bool& value);
// The text with a terminating zero. When its length cannot be read the
// buffer is left alone; a text longer than the buffer is cut to it (and
// the rest of it passed over) and gives false.
bool ReadText(CwStream& stream, char* buffer, size_t size);
bool ReadText(CwStream& stream, SplitPath& path);
bool ReadTime(CwStream& stream, TimeStamp& time);
