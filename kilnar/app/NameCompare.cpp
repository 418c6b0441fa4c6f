#include "kilnar/app/NameCompare.h"

#include <windows.h>

namespace {

bool IsAscii(std::string_view text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

int CompareAsciiNoCase(std::string_view a, std::string_view b) {
  const size_t common = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < common; ++i) {
    const auto x = static_cast<unsigned char>(UpperAscii(a[i]));
    const auto y = static_cast<unsigned char>(UpperAscii(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

}  // namespace

std::string FoldedName(std::string_view name) {
  if (IsAscii(name)) {
    std::string folded(name);
    for (char& c : folded) c = UpperAscii(c);
    return folded;
  }
  const int length = static_cast<int>(name.size());
  const int needed = LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_UPPERCASE, name.data(), length, nullptr, 0);
  if (needed <= 0) return std::string(name);
  std::string folded(static_cast<size_t>(needed), '\0');
  LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_UPPERCASE, name.data(), length, folded.data(), needed);
  return folded;
}

int CompareBytes(std::string_view a, std::string_view b) {
  const int order = a.compare(b);  // char_traits<char> compares as unsigned char
  return order < 0 ? -1 : order > 0 ? 1 : 0;
}

int CompareNamesNoCase(std::string_view a, std::string_view b) {
  if (IsAscii(a) && IsAscii(b)) return CompareAsciiNoCase(a, b);
  return CompareBytes(FoldedName(a), FoldedName(b));
}
