// A display mode as the commands take it: WIDTHxHEIGHTxBITS, each a whole
// decimal number and nothing else.
#pragma once

#include <charconv>
#include <string>

inline bool ParseDisplayMode(const std::string& text, int& width, int& height, int& depth) {
  const size_t first = text.find('x');
  const size_t second = first == std::string::npos ? first : text.find('x', first + 1);
  if (second == std::string::npos) return false;
  const auto number = [](const std::string& part, int& value) {
    auto [stop, problem] = std::from_chars(part.data(), part.data() + part.size(), value);
    return problem == std::errc() && stop == part.data() + part.size();
  };
  return number(text.substr(0, first), width) && number(text.substr(first + 1, second - first - 1), height) &&
         number(text.substr(second + 1), depth);
}
