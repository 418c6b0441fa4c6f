#include "plugins/netvarra/ftp/FTPTransferReplies.h"

#include <cctype>

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A decimal number at `at`, which moves past it; false without digits or
// beyond 64 bits.
bool ReadNumber(const std::string& text, size_t& at, uint64_t& value) {
  const size_t start = at;
  value = 0;
  for (; at < text.size() && IsDigit(text[at]); ++at) {
    const unsigned digit = static_cast<unsigned>(text[at] - '0');
    if (value > (UINT64_MAX - digit) / 10) return false;
    value = value * 10 + digit;
  }
  return at > start;
}

int64_t AsSize(uint64_t value) { return value > static_cast<uint64_t>(INT64_MAX) ? -1 : static_cast<int64_t>(value); }

int64_t SizeInParentheses(const std::string& text, size_t open) {
  size_t at = open + 1;
  while (at < text.size() && IsBlank(text[at])) ++at;
  uint64_t value;
  if (!ReadNumber(text, at, value)) return -1;
  while (at < text.size() && IsBlank(text[at])) ++at;
  if (at < text.size() && text[at] == ')') return AsSize(value);
  if (text.compare(at, 4, "byte") == 0 && text.find(')', at) != std::string::npos) return AsSize(value);
  return -1;
}

int64_t SizeBeforeByteWord(const std::string& text) {
  const size_t word = text.rfind("byte");
  if (word == std::string::npos || word < 6 || text[word - 1] != ' ' || !IsDigit(text[word - 2])) return -1;
  size_t start = word - 2;
  while (start > 0 && IsDigit(text[start - 1])) --start;
  size_t at = start;
  uint64_t value;
  return ReadNumber(text, at, value) ? AsSize(value) : -1;
}

}  // namespace

bool ParsePassiveReply(const std::string& reply, uint8_t numbers[6]) {
  size_t at = 0;
  while (at < reply.size() && !IsDigit(reply[at])) ++at;
  while (at < reply.size() && IsDigit(reply[at])) ++at;  // the reply code
  for (int i = 0; i < 6; ++i) {
    while (at < reply.size() && !IsDigit(reply[at])) ++at;
    if (at >= reply.size()) return false;
    unsigned value = 0;
    for (; at < reply.size() && IsDigit(reply[at]); ++at) {
      value = value * 10 + static_cast<unsigned>(reply[at] - '0');
      if (value > 255) return false;
    }
    numbers[i] = static_cast<uint8_t>(value);
  }
  return true;
}

int64_t ParseTransferSize(const std::string& reply) {
  std::string text(reply);
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const size_t open = text.rfind('(');
  if (open != std::string::npos) return SizeInParentheses(text, open);
  return SizeBeforeByteWord(text);
}
