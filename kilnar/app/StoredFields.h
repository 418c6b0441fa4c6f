// Helpers of the elements' stored form. Reading checks every value against
// the bytes the stream has left (a stream reads zeros past its end), and
// texts against the field they go into.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class CwStream;
class TimeStamp;

// The longest texts the stored form holds: element and project names and
// ISO names as the element keeps them, source paths as long as the
// platform's paths.
constexpr size_t kStoredNameField = 512;
constexpr size_t kStoredProjectNameField = 256;
constexpr size_t kStoredPathField = 4096;
constexpr size_t kStoredIsoNameField = 64;

bool WriteString(CwStream& stream, const std::string& text);
// A text of at most `field` - 1 bytes; false for a longer one.
bool ReadString(CwStream& stream, std::string& text, size_t field);
// False unless the stream holds all the bytes.
bool ReadStoredBytes(CwStream& stream, void* buffer, uint32_t length);
bool ReadStored(CwStream& stream, uint8_t& value);
bool ReadStored(CwStream& stream, uint16_t& value);
bool ReadStored(CwStream& stream, uint32_t& value);
// A flag: any byte but 0 is true.
bool ReadStored(CwStream& stream, bool& value);
bool ReadStored(CwStream& stream, TimeStamp& time);
uint64_t BytesLeft(CwStream& stream);
