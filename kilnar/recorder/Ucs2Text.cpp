#include "kilnar/recorder/Ucs2Text.h"

#include "kilnar/recorder/WideText.h"

size_t AnsiToUcs2(const char* text, uint8_t* units) {
  const std::u16string wide = CutUtf16(WideOf(text ? text : ""), kUcs2MostUnits);
  if (wide.empty()) {
    units[0] = units[1] = 0;
    return 1;
  }
  for (size_t i = 0; i < wide.size(); ++i) {
    units[2 * i] = static_cast<uint8_t>(wide[i] >> 8);
    units[2 * i + 1] = static_cast<uint8_t>(wide[i]);
  }
  return wide.size();
}

std::string Ucs2ToAnsi(const uint8_t* units, size_t count) {
  if (!units) return {};
  std::u16string wide(count, u'\0');
  for (size_t i = 0; i < count; ++i) wide[i] = static_cast<char16_t>(units[2 * i] << 8 | units[2 * i + 1]);
  return Utf8Of(wide);
}

void FillUcs2Spaces(uint8_t* p, size_t bytes) {
  for (size_t i = 0; i + 1 < bytes; i += 2) {
    p[i] = 0;
    p[i + 1] = 0x20;
  }
}
