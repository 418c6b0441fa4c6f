#include "kilnar/recorder/MessageFigures.h"

namespace {

// The length of a conversion this filler takes at `at` (after the '%'),
// or 0.
size_t ConversionLength(const std::string& format, size_t at) {
  if (at >= format.size()) return 0;
  const char c = format[at];
  if (c == 's' || c == 'u' || c == 'd' || c == 'i' || c == 'c') return 1;
  if (c == 'l' && at + 1 < format.size() && (format[at + 1] == 'u' || format[at + 1] == 'd')) return 2;
  return 0;
}

}  // namespace

std::string FillFigures(const std::string& format, const std::vector<std::string>& figures) {
  std::string text;
  size_t next = 0;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == '%') {
      text += '%';
      ++i;
      continue;
    }
    const size_t length = format[i] == '%' ? ConversionLength(format, i + 1) : 0;
    if (length > 0 && next < figures.size()) {
      text += figures[next++];
      i += length;
    } else {
      text += format[i];
    }
  }
  return text;
}
