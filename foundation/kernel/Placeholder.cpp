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

namespace {

// The pair whose placeholder starts at `at`, or null.
const PlaceholderPair* PairAt(const char* at, size_t left, std::initializer_list<PlaceholderPair> pairs) {
  for (const PlaceholderPair& pair : pairs) {
    const size_t length = pair.placeholder.GetLength();
    if (length && length <= left && std::memcmp(at, pair.placeholder.c_str(), length) == 0) return &pair;
  }
  return nullptr;
}

}  // namespace

CStr FillPlaceholders(const CStr& text, std::initializer_list<PlaceholderPair> pairs) {
  const char* const begin = text.c_str();
  const size_t length = text.GetLength();
  CStr result;
  size_t copiedUpTo = 0;
  for (size_t at = 0; at < length;) {
    const PlaceholderPair* pair = PairAt(begin + at, length - at, pairs);
    if (!pair) {
      ++at;
      continue;
    }
    result.Append(begin + copiedUpTo, at - copiedUpTo);
    result += pair->value;
    at += pair->placeholder.GetLength();
    copiedUpTo = at;
  }
  result.Append(begin + copiedUpTo, length - copiedUpTo);
  return result;
}
