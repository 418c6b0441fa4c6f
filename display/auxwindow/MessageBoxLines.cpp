#include "display/auxwindow/MessageBoxLines.h"

namespace {

bool IsBreakable(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The length of the next line of `rest`: up to its line break, shortened
// until it fits and then moved back to a break inside the fitting part.
size_t NextLineLength(std::string_view rest, int width, const MessageTextMeasure& measure) {
  size_t length = rest.find_first_of("\r\n");
  if (length == std::string_view::npos) length = rest.size();
  size_t fitting = length;
  while (fitting > 1 && measure(rest.substr(0, fitting)) > width) --fitting;
  if (fitting == length) return length;
  for (size_t at = fitting; at > 0; --at)
    if (IsBreakable(rest[at - 1]) && at - 1 > 0) return at - 1;
  return fitting;
}

size_t SkipAfterLine(std::string_view text, size_t at) {
  if (at >= text.size()) return at;
  if (text[at] == ' ') return at + 1;
  if (text[at] == '\r') ++at;
  if (at < text.size() && text[at] == '\n') ++at;
  return at;
}

}  // namespace

std::vector<std::string> BreakMessageLines(std::string_view text, int width, const MessageTextMeasure& measure) {
  std::vector<std::string> lines;
  size_t at = 0;
  while (at < text.size()) {
    const size_t length = NextLineLength(text.substr(at), width, measure);
    lines.emplace_back(text.substr(at, length));
    at = SkipAfterLine(text, at + length);
  }
  return lines;
}
