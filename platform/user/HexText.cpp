#include "HexText.h"

namespace twl::user {

namespace {

int Nibble(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::string HexEncode(const std::string& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (unsigned char c : bytes) {
    out.push_back(digits[c >> 4]);
    out.push_back(digits[c & 15]);
  }
  return out;
}

bool HexDecode(const std::string& text, size_t limit, std::string* bytes) {
  if (text.size() % 2 || text.size() / 2 > limit) return false;
  bytes->clear();
  for (size_t i = 0; i < text.size(); i += 2) {
    int hi = Nibble(text[i]);
    int lo = Nibble(text[i + 1]);
    if (hi < 0 || lo < 0) return false;
    bytes->push_back(static_cast<char>(hi * 16 + lo));
  }
  return true;
}

}  // namespace twl::user
