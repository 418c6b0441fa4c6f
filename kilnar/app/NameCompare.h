// Names compared without regard to case, the way the platform compares
// names: both sides in the upper case of Unicode, then byte by byte
// (unsigned). ASCII names take a short way with the same result.
#pragma once

#include <string>
#include <string_view>

std::string FoldedName(std::string_view name);
// -1, 0 or 1.
int CompareNamesNoCase(std::string_view a, std::string_view b);
inline bool NamesEqualNoCase(std::string_view a, std::string_view b) { return CompareNamesNoCase(a, b) == 0; }
// -1, 0 or 1 for the bytes as unsigned values; a prefix is the smaller.
int CompareBytes(std::string_view a, std::string_view b);
