#include "pluginhost/enumeration/FileObjectNames.h"

#include <algorithm>

namespace {

unsigned char FoldAsciiUpper(unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c; }

}  // namespace

int CompareFileObjectNames(std::string_view a, std::string_view b, bool noCase) {
  const size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (noCase) {
      x = FoldAsciiUpper(x);
      y = FoldAsciiUpper(y);
    }
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}
