#include "NameFold.h"

#include <locale.h>
#include <wctype.h>

namespace twl {
namespace {

// The case mapping of the UTF-8 locale, whatever locale the program set:
// names must compare the same way in every process that shares them.
locale_t UnicodeLocale() {
  static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
  return locale;
}

// Length of the valid UTF-8 sequence at `text`, 0 when it is not one.
size_t DecodeUtf8(std::string_view text, char32_t& codePoint) {
  auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  unsigned char lead = byte(0);
  size_t length = lead < 0xC2 ? 0 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF5 ? 4 : 0;
  if (length == 0 || length > text.size()) return 0;
  char32_t value = lead & (0x7F >> length);
  for (size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    value = (value << 6) | (byte(i) & 0x3F);
  }
  static const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (value < smallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  codePoint = value;
  return length;
}

void AppendUtf8(std::string& out, char32_t value) {
  if (value < 0x80) {
    out += static_cast<char>(value);
  } else if (value < 0x800) {
    out += static_cast<char>(0xC0 | (value >> 6));
    out += static_cast<char>(0x80 | (value & 0x3F));
  } else if (value < 0x10000) {
    out += static_cast<char>(0xE0 | (value >> 12));
    out += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (value & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (value >> 18));
    out += static_cast<char>(0x80 | ((value >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((value >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (value & 0x3F));
  }
}

char32_t UpperCase(char32_t value) {
  locale_t locale = UnicodeLocale();
  if (!locale) return value >= 'a' && value <= 'z' ? value - 32 : value;
  char32_t upper = static_cast<char32_t>(towupper_l(static_cast<wint_t>(value), locale));
  return upper <= 0x10FFFF && !(upper >= 0xD800 && upper <= 0xDFFF) ? upper : value;
}

}  // namespace

std::string FoldName(std::string_view name) {
  std::string folded;
  folded.reserve(name.size());
  while (!name.empty()) {
    unsigned char first = static_cast<unsigned char>(name[0]);
    if (first < 0x80) {
      folded += static_cast<char>(first >= 'a' && first <= 'z' ? first - 32 : first);
      name.remove_prefix(1);
      continue;
    }
    char32_t codePoint = 0;
    size_t length = DecodeUtf8(name, codePoint);
    if (length == 0) {
      folded += static_cast<char>(first);
      name.remove_prefix(1);
      continue;
    }
    AppendUtf8(folded, UpperCase(codePoint));
    name.remove_prefix(length);
  }
  return folded;
}

}  // namespace twl
