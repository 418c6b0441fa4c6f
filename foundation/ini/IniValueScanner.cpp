#include "foundation/ini/IniValueScanner.h"

#include <cstdint>

namespace {

constexpr DWORD kLargestPositive = 0x7FFFFFFF;
constexpr DWORD kLargestNegative = 0x80000000;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

int HexValue(char c) {
  if (IsDigit(c)) return c - '0';
  const char lower = LowerAscii(c);
  if (lower >= 'a' && lower <= 'f') return lower - 'a' + 10;
  return -1;
}

}  // namespace

bool IsIniBlank(char c) { return c == ' ' || c == '\t'; }

void CIniValueScanner::SkipBlanks() {
  while (m_Position != m_End && IsIniBlank(*m_Position)) ++m_Position;
}

bool CIniValueScanner::OnlyBlanksLeft() {
  SkipBlanks();
  return AtEnd();
}

bool CIniValueScanner::Take(char wanted) {
  if (AtEnd() || *m_Position != wanted) return false;
  ++m_Position;
  return true;
}

bool CIniValueScanner::TakeWordNoCase(const char* word) {
  const char* position = m_Position;
  for (; *word; ++word, ++position) {
    if (position == m_End || LowerAscii(*position) != LowerAscii(*word)) return false;
  }
  m_Position = position;
  return true;
}

bool CIniValueScanner::ReadDigitsUpTo(DWORD& value, DWORD limit, bool& tooBig) {
  tooBig = false;
  if (AtEnd() || !IsDigit(*m_Position)) return false;
  uint64_t number = 0;
  for (; m_Position != m_End && IsDigit(*m_Position); ++m_Position) {
    // Saturates: a long run of digits stays too big instead of wrapping.
    if (number <= limit) number = number * 10 + static_cast<uint64_t>(*m_Position - '0');
  }
  if (number > limit) {
    tooBig = true;
    return false;
  }
  value = static_cast<DWORD>(number);
  return true;
}

bool CIniValueScanner::ReadDigits(DWORD& value, DWORD limit) {
  bool tooBig = false;
  return ReadDigitsUpTo(value, limit, tooBig);
}

bool CIniValueScanner::ReadInteger(bool allowMinus, INT& value, bool* negative) {
  SkipBlanks();
  const bool minus = allowMinus && Take('-');
  if (minus) SkipBlanks();
  DWORD magnitude = 0;
  if (!ReadDigits(magnitude, minus ? kLargestNegative : kLargestPositive)) return false;
  SkipBlanks();
  value = minus ? static_cast<INT>(-static_cast<int64_t>(magnitude)) : static_cast<INT>(magnitude);
  if (negative) *negative = minus;
  return true;
}

bool CIniValueScanner::ReadDigitText(CStr& digits) {
  const char* start = m_Position;
  while (m_Position != m_End && IsDigit(*m_Position)) ++m_Position;
  if (m_Position == start) return false;
  digits = CStr(start, static_cast<size_t>(m_Position - start));
  return true;
}

bool CIniValueScanner::ReadHex(size_t count, DWORD& value) {
  DWORD number = 0;
  for (size_t i = 0; i < count; ++i) {
    if (AtEnd()) return false;
    const int digit = HexValue(*m_Position);
    if (digit < 0) return false;
    number = number << 4 | static_cast<DWORD>(digit);
    ++m_Position;
  }
  value = number;
  return true;
}

CStr CIniValueScanner::TakeUntil(char stop) {
  const char* start = m_Position;
  while (m_Position != m_End && *m_Position != stop) ++m_Position;
  return CStr(start, static_cast<size_t>(m_Position - start));
}
