// Texts of the message files with their figures filled in. A message file
// is data anyone may edit, so its texts are never handed to printf: each
// "%s", "%u", "%i", "%d" or "%c" takes the next figure (already a text),
// "%%" is one "%", and everything else, conversions beyond the figures
// given among it, is copied as it stands.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

std::string FillMessage(std::string_view format, std::initializer_list<std::string> figures);
