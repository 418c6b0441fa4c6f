#include "foundation/kernel/Placeholder.h"

#include <cstring>

CStr ReplacePlaceholder(const CStr& text, const PlaceholderPair& pair) {
  const size_t placeholderLength = pair.placeholder.GetLength();
  if (placeholderLength == 0) return text;
  const char* rest = text.c_str();
  const char* found = std::strstr(rest, pair.placeholder.c_str());
  if (!found) return text;
  CStr result;
  while (found) {
    result.Append(rest, static_cast<size_t>(found - rest));
    result += pair.value;
    rest = found + placeholderLength;
    found = std::strstr(rest, pair.placeholder.c_str());
  }
  result += rest;
  return result;
}
