// The fields of ISO 9660 volume descriptors and directory records that the
// image writer fills: text fields of both trees and the directory record.
// Text is UTF-8; Joliet fields hold its UTF-16 units, big-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "kilnar/recorder/TimeStamp.h"

// Spaces, then the text's bytes from the start, cut to the field (never
// inside a character).
void PutIsoText(uint8_t* field, size_t width, std::string_view text);
// Big-endian blanks (00 20), then the text's units from the start, cut to
// width / 2 units (never between the halves of a pair); of an odd width
// the last byte stays as it is.
void PutJolietText(uint8_t* field, size_t width, std::string_view text);

// What one directory record says.
struct DirRecord {
  uint32_t extent = 0;
  uint32_t dataLength = 0;
  const TimeStamp* time = nullptr;
  uint8_t flags = 0;
  const uint8_t* identifier = nullptr;
  uint8_t identifierLength = 0;
};

// Writes `length` bytes: length, extent and data length in both byte
// orders, the record date, flags, volume sequence number 1 and the
// identifier; the rest zero.
void PutDirRecord(uint8_t* record, uint8_t length, const DirRecord& fields);
