// Small text helpers of the key bindings: the blanks around tokens and
// values, and the case-blind comparison that key tokens, flags and trigger
// categories use. ASCII only: bytes above 127 compare as they are.
#pragma once

#include <string>
#include <string_view>

namespace keytext {

// Blanks, tabs and line ends.
bool IsBlank(char c);
std::string_view TrimLeft(std::string_view text);
std::string_view Trim(std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);
std::string Lowered(std::string_view text);

}  // namespace keytext
