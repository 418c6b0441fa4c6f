#include "display/layout/LayoutWeights.h"

#include <charconv>
#include <cmath>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

void SkipBlanks(std::string_view text, size_t& position) {
  while (position < text.size() && IsBlank(text[position])) ++position;
}

// Decimal digits with at most one '.', neither empty nor a lone '.'.
bool ReadNumber(std::string_view token, double& value) {
  size_t digits = 0;
  size_t points = 0;
  bool wholePartNonZero = false;
  for (char c : token) {
    if (c == '.') {
      ++points;
    } else if (c >= '0' && c <= '9') {
      ++digits;
      if (points == 0 && c != '0') wholePartNonZero = true;
    } else {
      return false;
    }
  }
  if (digits == 0 || points > 1) return false;
  // Locale-independent; only hundreds of digits can leave the range, and
  // then the number is as large (or small) as a double goes.
  const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
  if (error == std::errc::result_out_of_range)
    value = wholePartNonZero ? HUGE_VAL : 0.0;
  else if (error != std::errc() || end != token.data() + token.size())
    return false;
  return true;
}

}  // namespace

bool ParseLayoutWeights(std::string_view text, double& horizontal, double& vertical) {
  size_t position = 0;
  SkipBlanks(text, position);
  size_t start = position;
  while (position < text.size() && text[position] != ',' && !IsBlank(text[position])) ++position;
  double first = 0;
  if (!ReadNumber(text.substr(start, position - start), first)) return false;
  SkipBlanks(text, position);
  if (position == text.size() || text[position] != ',') return false;
  ++position;
  SkipBlanks(text, position);
  start = position;
  while (position < text.size() && !IsBlank(text[position])) ++position;
  double second = 0;
  if (!ReadNumber(text.substr(start, position - start), second)) return false;
  SkipBlanks(text, position);
  if (position != text.size()) return false;
  horizontal = first;
  vertical = second;
  return true;
}
