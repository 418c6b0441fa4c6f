// A point in time as the engine stores it: one 32-bit count of seconds
// since 1 January 1970, 00:00 UTC, read as unsigned (so valid up to 2106),
// with 64-bit time inside. Its parts and text are in local time. A value
// object; ToText's text lives in one buffer shared by all time stamps
// (user-interface thread only).
#pragma once

#include <cstdint>

class TimeStamp {
 public:
  // The value; 0 means the current time.
  explicit TimeStamp(uint32_t value = 0);
  // Local date and time. Years 1970-2105 are taken as they are and values
  // below 100 as years since 1900 (99 is 1999); the runtime decides whether
  // daylight saving time is in effect on that day. A date outside the range
  // the value holds gives a value that cannot be converted.
  TimeStamp(uint16_t year, uint16_t month, uint16_t day, uint16_t hour, uint16_t minute, uint16_t second);
  TimeStamp(const TimeStamp&) = default;
  TimeStamp& operator=(const TimeStamp&) = default;

  uint32_t SetToNow();
  uint32_t GetValue() const { return m_Value; }

  // Local parts; 0 when the value cannot be converted (its local year lies
  // outside 1970-2105).
  uint16_t GetYear() const;
  uint16_t GetMonth() const;
  uint16_t GetDay() const;
  uint16_t GetHour() const;
  uint16_t GetMinute() const;
  uint16_t GetSecond() const;

  // "DD.MM.YYYY HH:MM" in local time, or "??.??.???? ??:??".
  const char* ToText() const;

  bool IsEqual(const TimeStamp& other) const { return m_Value == other.m_Value; }
  // -1 when this is earlier, 0 when equal, 1 when later.
  int Compare(const TimeStamp& other) const;

 private:
  uint32_t m_Value;
};
