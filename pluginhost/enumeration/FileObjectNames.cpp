#include "pluginhost/enumeration/FileObjectNames.h"

#include <algorithm>

namespace {

unsigned char FoldAsciiUpper(unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c; }

}  // namespace

int CompareFileObjectNames(std::string_view a, std::string_view b, bool noCase) {
  if (!noCase) {
    // string_view compares its characters as unsigned bytes.
    const int order = a.compare(b);
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
  }
  const size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    const unsigned char x = FoldAsciiUpper(static_cast<unsigned char>(a[i]));
    const unsigned char y = FoldAsciiUpper(static_cast<unsigned char>(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}
