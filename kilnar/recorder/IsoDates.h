// The date fields of ISO 9660 volume descriptors and directory records,
// written from and read into time stamps. Both carry local time.
#pragma once

#include <cstdint>

#include "kilnar/recorder/TimeStamp.h"

// 16 digits "YYYYMMDDHHMMSS00" of the local time and a zero byte (17
// bytes). Nothing is written for a null field or time, or a time that
// cannot be converted.
void FormatVolumeDate(char* field, const TimeStamp* time);

// 7 bytes: year - 1900, month, day, hour, minute, second (local), and the
// offset from UTC in the zone at that instant (GetGmtOffset). Nothing is
// written for a null field or time, or a time that cannot be converted.
void FormatRecordDate(uint8_t* field, const TimeStamp* time);

// (local time - UTC) in quarter hours at the given instant, rounded toward
// zero: daylight saving time counts when it is in effect then, not now.
int8_t GetGmtOffset(const TimeStamp& at);

// The time stamp of a volume date's digits (year, month, day, hour,
// minute, second; the rest ignored). Characters that are not digits, and
// those after the end of a shorter text, read as 0.
TimeStamp ParseVolumeDate(const char* field);
// The time stamp of a record date's first six bytes (year byte + 1900).
// Both give a time stamp that cannot be converted for a part out of its
// range (month 0 or 13, hour 24, ...), such as the zeros of an unset date.
TimeStamp ParseRecordDate(const uint8_t* bytes);
