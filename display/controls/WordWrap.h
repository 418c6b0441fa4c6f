// Breaking a text into lines no wider than a width, as the multi-line
// label draws it: lines break at spaces (not tabs) and at line feeds; a
// word wider than the width stands alone on its line and overflows it; two
// line feeds in a row give an empty line. Pure; any thread.
#pragma once

#include <functional>
#include <string_view>
#include <vector>

struct WrappedLine {
  size_t start;
  size_t length;
};

using TextMeasure = std::function<int(std::string_view)>;

std::vector<WrappedLine> WrapText(std::string_view text, int width, const TextMeasure& measure);
