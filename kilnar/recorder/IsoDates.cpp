#include "kilnar/recorder/IsoDates.h"

#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

bool LocalParts(const TimeStamp& time, tm& local) {
  if (time.GetYear() == 0) return false;  // outside what a time stamp converts
  const time_t seconds = static_cast<time_t>(time.GetValue());
  return localtime_r(&seconds, &local) != nullptr;
}

// The number of `count` decimal digits at `text`; non-digits count as 0.
uint16_t Digits(const char* text, int count) {
  unsigned value = 0;
  for (int i = 0; i < count; ++i) value = value * 10 + (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : 0);
  return static_cast<uint16_t>(value);
}

constexpr uint32_t kUnconvertible = 0xFFFFFFFFu;

// A date of parts in their ranges; any other (a field of a foreign disc, an
// unset date of zeros) cannot be converted rather than roll into another
// date.
TimeStamp DateOf(unsigned year, unsigned month, unsigned day, unsigned hour, unsigned minute, unsigned second) {
  const bool inRange = month >= 1 && month <= 12 && day >= 1 && day <= 31 && hour <= 23 && minute <= 59 &&
                       second <= 59 && year >= 1970 && year <= 0xFFFF;
  if (!inRange) return TimeStamp(kUnconvertible);
  return TimeStamp(static_cast<uint16_t>(year), static_cast<uint16_t>(month), static_cast<uint16_t>(day),
                   static_cast<uint16_t>(hour), static_cast<uint16_t>(minute), static_cast<uint16_t>(second));
}

}  // namespace

int8_t GetGmtOffset(const TimeStamp& at) {
  const time_t seconds = static_cast<time_t>(at.GetValue());
  tm local{}, utc{};
  if (!localtime_r(&seconds, &local) || !gmtime_r(&seconds, &utc)) return 0;
  int days = local.tm_yday - utc.tm_yday;
  if (local.tm_year != utc.tm_year) days = local.tm_year > utc.tm_year ? 1 : -1;
  const int minutes = (days * 24 + local.tm_hour - utc.tm_hour) * 60 + local.tm_min - utc.tm_min;
  return static_cast<int8_t>(minutes / 15);
}

void FormatVolumeDate(char* field, const TimeStamp* time) {
  tm local{};
  if (!field || !time || !LocalParts(*time, local)) return;
  // Parts of a converted time have their fixed widths: 16 digits.
  char digits[64];
  std::snprintf(digits, sizeof digits, "%04d%02d%02d%02d%02d%02d00", local.tm_year + 1900, local.tm_mon + 1,
                local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
  std::memcpy(field, digits, 16);
  field[16] = '\0';
}

void FormatRecordDate(uint8_t* field, const TimeStamp* time) {
  tm local{};
  if (!field || !time || !LocalParts(*time, local)) return;
  field[0] = static_cast<uint8_t>(local.tm_year);
  field[1] = static_cast<uint8_t>(local.tm_mon + 1);
  field[2] = static_cast<uint8_t>(local.tm_mday);
  field[3] = static_cast<uint8_t>(local.tm_hour);
  field[4] = static_cast<uint8_t>(local.tm_min);
  field[5] = static_cast<uint8_t>(local.tm_sec);
  field[6] = static_cast<uint8_t>(GetGmtOffset(*time));
}

TimeStamp ParseVolumeDate(const char* field) {
  if (!field) return TimeStamp(kUnconvertible);
  // A text that ends early reads as zeros from its end on.
  char digits[14];
  size_t length = 0;
  for (; length < sizeof digits && field[length]; ++length) digits[length] = field[length];
  for (size_t i = length; i < sizeof digits; ++i) digits[i] = '0';
  return DateOf(Digits(digits, 4), Digits(digits + 4, 2), Digits(digits + 6, 2), Digits(digits + 8, 2),
                Digits(digits + 10, 2), Digits(digits + 12, 2));
}

TimeStamp ParseRecordDate(const uint8_t* bytes) {
  if (!bytes) return TimeStamp(kUnconvertible);
  return DateOf(bytes[0] + 1900u, bytes[1], bytes[2], bytes[3], bytes[4], bytes[5]);
}
