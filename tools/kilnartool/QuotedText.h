// Texts in kilnartool's output: quoted texts write bytes outside 0x20-0x7E,
// '"' and '\' as \xNN; error texts keep one line with their line breaks
// written as \n.
#pragma once

#include <cstdio>
#include <string>

namespace kilnartool {

inline std::string Quoted(const std::string& text) {
  std::string quoted = "\"";
  for (unsigned char c : text) {
    if (c < 0x20 || c > 0x7E || c == '"' || c == '\\') {
      char escape[5];
      std::snprintf(escape, sizeof escape, "\\x%02x", c);
      quoted += escape;
    } else {
      quoted += static_cast<char>(c);
    }
  }
  return quoted + "\"";
}

inline std::string OneLine(const std::string& text) {
  std::string line;
  for (char c : text) line += c == '\n' ? std::string("\\n") : std::string(1, c);
  return line;
}

}  // namespace kilnartool
