#include "foundation/log/ReportText.h"

#include <cmath>

CReportText::CReportText(char* buffer, size_t capacity) : m_Buffer(buffer), m_Capacity(capacity) { Clear(); }

void CReportText::Clear() {
  m_Length = 0;
  if (m_Capacity > 0) m_Buffer[0] = '\0';
}

void CReportText::AppendChar(char c) {
  if (m_Length + 1 >= m_Capacity) return;
  m_Buffer[m_Length++] = c;
  m_Buffer[m_Length] = '\0';
}

void CReportText::Append(const char* text) {
  if (!text) return;
  while (*text) AppendChar(*text++);
}

void CReportText::AppendHex(uint64_t value, int digits) {
  char reversed[16];
  int count = 0;
  do {
    reversed[count++] = "0123456789abcdef"[value & 0xF];
    value >>= 4;
  } while (value != 0);
  for (int i = count; i < digits; ++i) AppendChar('0');
  while (count > 0) AppendChar(reversed[--count]);
}

void CReportText::AppendDecimal(int64_t value) {
  uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  if (value < 0) AppendChar('-');
  char reversed[20];
  int count = 0;
  do {
    reversed[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  while (count > 0) AppendChar(reversed[--count]);
}

// Seven significant digits are found in extended precision, which holds a
// double's value exactly enough for the rounding of the last one.
void CReportText::AppendScientific(double value) {
  if (std::signbit(value)) AppendChar('-');
  if (std::isnan(value)) return Append("nan");
  if (std::isinf(value)) return Append("inf");
  long double magnitude = std::fabs(static_cast<long double>(value));
  int exponent = 0;
  uint64_t digits = 0;  // the seven significant digits as one number
  if (magnitude != 0) {
    exponent = static_cast<int>(std::floor(std::log10(magnitude)));
    long double scaled = magnitude / std::pow(10.0L, exponent);
    // log10 may be off by one at exact powers of ten
    if (scaled >= 10) {
      scaled /= 10;
      ++exponent;
    } else if (scaled < 1) {
      scaled *= 10;
      --exponent;
    }
    digits = static_cast<uint64_t>(std::llround(scaled * 1000000.0L));
    if (digits >= 10000000) {
      digits /= 10;
      ++exponent;
    }
  }
  AppendChar(static_cast<char>('0' + digits / 1000000));
  AppendChar('.');
  for (uint64_t unit = 100000; unit > 0; unit /= 10) AppendChar(static_cast<char>('0' + digits / unit % 10));
  AppendChar('e');
  AppendChar(exponent < 0 ? '-' : '+');
  const int absolute = exponent < 0 ? -exponent : exponent;
  if (absolute < 10) AppendChar('0');
  AppendDecimal(absolute);
}
