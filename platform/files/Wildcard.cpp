#include "Wildcard.h"

#include "PathResolver.h"

namespace twl {
namespace {

// Bytes of the UTF-8 character starting at `text[at]`, so that '?' takes a
// whole character.
size_t CharLength(const std::string& text, size_t at) {
  size_t length = 1;
  while (at + length < text.size() && (static_cast<unsigned char>(text[at + length]) & 0xC0) == 0x80) ++length;
  return length;
}

bool Match(const std::string& pattern, const std::string& name) {
  size_t p = 0, n = 0;
  size_t starP = std::string::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (p < pattern.size() && pattern[p] == '?') {
      ++p;
      n += CharLength(name, n);
    } else if (p < pattern.size() && FoldCase(pattern[p]) == FoldCase(name[n])) {
      ++p;
      ++n;
    } else if (starP != std::string::npos) {
      // Let the last '*' take one more character and try again.
      p = starP + 1;
      starN += CharLength(name, starN);
      n = starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace

bool HasWildcards(const std::string& pattern) { return pattern.find_first_of("*?") != std::string::npos; }

bool MatchesPattern(const std::string& pattern, const std::string& name) {
  if (pattern == "*" || pattern == "*.*") return true;
  if (Match(pattern, name)) return true;
  const bool hasExtension = name.find('.') != std::string::npos;
  if (pattern.size() > 2 && pattern.ends_with(".*") && Match(pattern.substr(0, pattern.size() - 2), name)) {
    return true;
  }
  if (pattern.size() > 1 && pattern.back() == '.' && pattern != ".." && !hasExtension &&
      Match(pattern.substr(0, pattern.size() - 1), name)) {
    return true;
  }
  return false;
}

}  // namespace twl
