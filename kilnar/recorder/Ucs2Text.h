// Names as the big-endian UCS-2 (UTF-16) units of ISO 9660's Joliet
// records. 8-bit names are UTF-8; bytes that are not UTF-8 are read as
// Windows-1252, so a lone 0xE4 gives the unit 00 E4, as the UTF-8 of "ä"
// does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The most units AnsiToUcs2 writes.
constexpr size_t kUcs2MostUnits = 255;

// Writes the units of the text (null counts as empty), big-endian, into
// `units` (room for kUcs2MostUnits units, 2 bytes each) and returns their
// count. An empty text gives one zero unit and a count of 1; a longer text
// is cut to 255 units, never between the two halves of a surrogate pair.
size_t AnsiToUcs2(const char* text, uint8_t* units);

// The UTF-8 text of `count` big-endian units (an unpaired surrogate
// becomes U+FFFD).
std::string Ucs2ToAnsi(const uint8_t* units, size_t count);

// Fills bytes / 2 (rounded down) units with the blank 00 20.
void FillUcs2Spaces(uint8_t* p, size_t bytes);
