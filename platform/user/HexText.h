// Bytes as lower-case hexadecimal text and back: how the desktop's record
// files carry titles, class names and extra bytes of any value on one line.
// Pure functions.
#pragma once

#include <cstddef>
#include <string>

namespace twl::user {

std::string HexEncode(const std::string& bytes);
// False for text of odd length, with other characters than 0-9 and a-f, or
// that would give more than `limit` bytes.
bool HexDecode(const std::string& text, size_t limit, std::string* bytes);

}  // namespace twl::user
