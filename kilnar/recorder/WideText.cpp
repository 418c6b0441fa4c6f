#include "kilnar/recorder/WideText.h"

#include <windows.h>

namespace {

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Bytes of the UTF-8 character a lead byte starts; 1 for any other byte.
size_t SequenceLength(unsigned char lead) { return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1; }

}  // namespace

std::u16string WideOf(std::string_view text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int needed = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
  if (needed <= 0) return {};
  std::u16string wide(static_cast<size_t>(needed), u'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), length, wide.data(), needed);
  return wide;
}

std::string Utf8Of(std::u16string_view wide) {
  if (wide.empty()) return {};
  const int length = static_cast<int>(wide.size());
  const int needed = WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return {};
  std::string text(static_cast<size_t>(needed), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, text.data(), needed, nullptr, nullptr);
  return text;
}

std::string CutUtf8(std::string_view text, size_t bytes) {
  if (text.size() <= bytes) return std::string(text);
  // Back to the lead byte of the character the cut falls into, if any.
  size_t start = bytes;
  while (start > 0 && bytes - start < 3 && IsContinuation(static_cast<unsigned char>(text[start]))) --start;
  const auto lead = static_cast<unsigned char>(text[start]);
  const bool splitsCharacter = start < bytes && lead >= 0xC0 && start + SequenceLength(lead) > bytes;
  return std::string(text.substr(0, splitsCharacter ? start : bytes));
}

std::u16string CutUtf16(std::u16string_view wide, size_t units) {
  if (wide.size() <= units) return std::u16string(wide);
  const bool splitsPair = units > 0 && wide[units - 1] >= 0xD800 && wide[units - 1] <= 0xDBFF;
  return std::u16string(wide.substr(0, splitsPair ? units - 1 : units));
}
