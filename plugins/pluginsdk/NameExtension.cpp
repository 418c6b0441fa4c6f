#include "plugins/pluginsdk/NameExtension.h"

#include <cstring>

namespace pluginsdk {
namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

const char* LastExtension(const char* name) {
  if (!name) return nullptr;
  const char* dot = std::strrchr(name, '.');
  return dot ? dot + 1 : nullptr;
}

bool EqualsIgnoringCase(const char* left, const char* right) {
  for (; *left && *right; ++left, ++right) {
    if (LowerAscii(*left) != LowerAscii(*right)) return false;
  }
  return *left == *right;
}

}  // namespace pluginsdk
