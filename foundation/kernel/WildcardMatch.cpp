#include "foundation/kernel/WildcardMatch.h"

namespace {

char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameCharacter(char patternChar, char textChar, bool caseSensitive) {
  return caseSensitive ? patternChar == textChar : FoldAscii(patternChar) == FoldAscii(textChar);
}

// Bytes of the UTF-8 character that starts at `text` (at least one), so
// that '?' and a retry after a star move by whole characters.
size_t CharacterLength(const char* text) {
  size_t length = 1;
  while ((static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) ++length;
  return length;
}

}  // namespace

bool MatchWildcard(const char* text, const char* pattern, bool caseSensitive, size_t& steps) {
  if (!pattern) return true;
  if (!text) text = "";
  const char* t = text;
  const char* p = pattern;
  // The pattern after the last star and where that part was last tried.
  const char* retryPattern = nullptr;
  const char* retryText = nullptr;
  for (;;) {
    ++steps;
    if (*p == '*') {
      while (*p == '*') ++p;
      // A star at the end takes whatever is left, the empty rest included.
      if (*p == '\0') return true;
      retryPattern = p;
      retryText = t;
      continue;
    }
    if (*p == '\0' && *t == '\0') return true;
    if (*p != '\0' && *t != '\0') {
      if (*p == '?') {
        ++p;
        t += CharacterLength(t);
        continue;
      }
      if (SameCharacter(*p, *t, caseSensitive)) {
        ++p;
        ++t;
        continue;
      }
    }
    // A mismatch. Without a star before it, the match fails. When the text
    // ran out inside the part after the star, starting that part later
    // leaves even less text for it, so no retry can succeed.
    if (!retryPattern || (*t == '\0' && *p != '\0')) return false;
    retryText += CharacterLength(retryText);
    t = retryText;
    p = retryPattern;
  }
}

bool MatchWildcard(const char* text, const char* pattern, bool caseSensitive) {
  size_t steps = 0;
  return MatchWildcard(text, pattern, caseSensitive, steps);
}
