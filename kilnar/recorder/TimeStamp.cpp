#include "kilnar/recorder/TimeStamp.h"

#include <cstdio>
#include <ctime>

namespace {

constexpr int kFirstYear = 1970;
constexpr int kLastYear = 2105;
// A value no date of the convertible range reaches: 2106 in every zone.
constexpr uint32_t kUnconvertible = 0xFFFFFFFFu;

uint32_t Now() {
  const time_t now = time(nullptr);
  return now <= 0 ? 0 : now >= static_cast<time_t>(kUnconvertible) ? kUnconvertible - 1 : static_cast<uint32_t>(now);
}

// The local broken-down time of a value; false when it has none in range.
bool ToLocal(uint32_t value, tm& local) {
  const time_t seconds = static_cast<time_t>(value);
  if (!localtime_r(&seconds, &local)) return false;
  const int year = local.tm_year + 1900;
  return year >= kFirstYear && year <= kLastYear;
}

uint16_t LocalPart(uint32_t value, int tm::*part, int offset) {
  tm local{};
  if (!ToLocal(value, local)) return 0;
  return static_cast<uint16_t>(local.*part + offset);
}

}  // namespace

TimeStamp::TimeStamp(uint32_t value) : m_Value(value) {
  if (m_Value == 0) SetToNow();
}

TimeStamp::TimeStamp(uint16_t year, uint16_t month, uint16_t day, uint16_t hour, uint16_t minute,
                     uint16_t second) {
  tm local{};
  local.tm_year = year < 100 ? year : year - 1900;
  local.tm_mon = month - 1;
  local.tm_mday = day;
  local.tm_hour = hour;
  local.tm_min = minute;
  local.tm_sec = second;
  local.tm_isdst = -1;
  const time_t seconds = mktime(&local);
  const bool inRange = seconds != static_cast<time_t>(-1) && seconds >= 0 &&
                       seconds < static_cast<time_t>(kUnconvertible) && local.tm_year + 1900 >= kFirstYear &&
                       local.tm_year + 1900 <= kLastYear;
  m_Value = inRange ? static_cast<uint32_t>(seconds) : kUnconvertible;
}

uint32_t TimeStamp::SetToNow() {
  m_Value = Now();
  return m_Value;
}

uint16_t TimeStamp::GetYear() const { return LocalPart(m_Value, &tm::tm_year, 1900); }
uint16_t TimeStamp::GetMonth() const { return LocalPart(m_Value, &tm::tm_mon, 1); }
uint16_t TimeStamp::GetDay() const { return LocalPart(m_Value, &tm::tm_mday, 0); }
uint16_t TimeStamp::GetHour() const { return LocalPart(m_Value, &tm::tm_hour, 0); }
uint16_t TimeStamp::GetMinute() const { return LocalPart(m_Value, &tm::tm_min, 0); }
uint16_t TimeStamp::GetSecond() const { return LocalPart(m_Value, &tm::tm_sec, 0); }

const char* TimeStamp::ToText() const {
  static char text[64];
  tm local{};
  if (!ToLocal(m_Value, local)) {
    std::snprintf(text, sizeof text, "??.??.???? ??:??");
    return text;
  }
  std::snprintf(text, sizeof text, "%02d.%02d.%04d %02d:%02d", local.tm_mday, local.tm_mon + 1,
                local.tm_year + 1900, local.tm_hour, local.tm_min);
  return text;
}

int TimeStamp::Compare(const TimeStamp& other) const {
  if (m_Value < other.m_Value) return -1;
  return m_Value == other.m_Value ? 0 : 1;
}
