#include "display/controls/WordWrap.h"

namespace {

// The end of the longest start of `rest` that fits, at least one
// character.
size_t FittingEnd(std::string_view rest, int width, const TextMeasure& measure) {
  size_t end = rest.size();
  while (end > 1 && measure(rest.substr(0, end)) > width) --end;
  return end;
}

// The end moved back to the last space at or before it; 0 when none.
size_t BackToSpace(std::string_view rest, size_t end) {
  for (size_t at = end + 1; at-- > 0;)
    if (rest[at] == ' ') return at;
  return 0;
}

size_t LineEnd(std::string_view rest, int width, const TextMeasure& measure) {
  size_t end = FittingEnd(rest, width, measure);
  const bool fits = measure(rest.substr(0, end)) <= width;
  if (fits && end < rest.size()) end = BackToSpace(rest, end);
  if (!fits || end == 0) {
    // An overlong word is drawn whole.
    const size_t space = rest.find(' ', 1);
    end = space == std::string_view::npos ? rest.size() : space;
  }
  const size_t feed = rest.find('\n');
  if (feed < end) end = feed;
  return end;
}

}  // namespace

std::vector<WrappedLine> WrapText(std::string_view text, int width, const TextMeasure& measure) {
  std::vector<WrappedLine> lines;
  size_t start = 0;
  while (start < text.size()) {
    const std::string_view rest = text.substr(start);
    const size_t end = LineEnd(rest, width, measure);
    size_t length = end;
    // A line feed written as CR LF leaves no CR on the line.
    if (end < rest.size() && rest[end] == '\n' && length > 0 && rest[length - 1] == '\r') --length;
    lines.push_back(WrappedLine{start, length});
    start += end;
    if (start < text.size() && (text[start] == ' ' || text[start] == '\n')) ++start;
  }
  return lines;
}
