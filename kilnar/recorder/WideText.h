// Conversions between the system's 8-bit text (UTF-8; bytes that are not
// UTF-8 read as Windows-1252) and UTF-16, and cuts that never split a
// character.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

std::u16string WideOf(std::string_view text);
// An unpaired surrogate becomes U+FFFD.
std::string Utf8Of(std::u16string_view wide);

// The text cut to at most `bytes` bytes, not inside a UTF-8 character.
std::string CutUtf8(std::string_view text, size_t bytes);
// The units cut to at most `units`, not between the halves of a pair.
std::u16string CutUtf16(std::u16string_view wide, size_t units);
