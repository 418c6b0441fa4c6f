#include "kilnar/app/playlists/Transliteration.h"

#include "kilnar/recorder/WideText.h"

namespace {

struct Umlaut {
  const char* utf8;
  char windows1252;
  const char* replacement;
};

// In the order in which they are replaced.
constexpr Umlaut kUmlauts[] = {
    {"\xC3\x9C", '\xDC', "Ue"}, {"\xC3\x96", '\xD6', "Oe"}, {"\xC3\x84", '\xC4', "Ae"}, {"\xC3\x9F", '\xDF', "ss"},
    {"\xC3\xBC", '\xFC', "ue"}, {"\xC3\xB6", '\xF6', "oe"}, {"\xC3\xA4", '\xE4', "ae"},
};

bool IsUtf8(const std::string& text) {
  size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || (length == 2 && lead < 0xC2) || i + length > text.size()) return false;
    for (size_t k = 1; k < length; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    i += length;
  }
  return true;
}

void ReplaceAll(std::string& text, const std::string& what, const char* replacement) {
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 2))
    text.replace(at, what.size(), replacement);
}

}  // namespace

void TransliterateUmlauts(std::string& text) {
  const bool utf8 = IsUtf8(text);
  for (const Umlaut& umlaut : kUmlauts)
    ReplaceAll(text, utf8 ? std::string(umlaut.utf8) : std::string(1, umlaut.windows1252), umlaut.replacement);
}

std::string Transliterated(std::string text) {
  TransliterateUmlauts(text);
  return text;
}

size_t CdNameLength(const std::string& name) { return WideOf(name).size(); }
