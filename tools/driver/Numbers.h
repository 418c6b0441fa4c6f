// Numbers on the command line: decimal, or hexadecimal after "0x", with
// nothing else around them.
#pragma once

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace tool {

// Unsigned: no sign, at most `maximum`.
inline bool ParseUnsigned(const std::string& text, uint64_t& value, uint64_t maximum = UINT64_MAX) {
  if (text.empty() || text[0] == '-' || text[0] == '+' || text[0] == ' ') return false;
  char* end = nullptr;
  errno = 0;
  const unsigned long long parsed = std::strtoull(text.c_str(), &end, 0);
  if (errno != 0 || *end != '\0' || parsed > maximum) return false;
  value = parsed;
  return true;
}

// Signed, 64 bits.
inline bool ParseSigned(const std::string& text, int64_t& value) {
  if (text.empty() || text[0] == ' ') return false;
  char* end = nullptr;
  errno = 0;
  const long long parsed = std::strtoll(text.c_str(), &end, 0);
  if (errno != 0 || *end != '\0') return false;
  value = parsed;
  return true;
}

}  // namespace tool
