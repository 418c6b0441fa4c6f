#include "kilnar/recorder/MessageFormat.h"

#include <vector>

namespace {

bool IsConversion(char c) { return c == 's' || c == 'u' || c == 'i' || c == 'd' || c == 'c'; }

}  // namespace

std::string FillMessage(std::string_view format, std::initializer_list<std::string> figures) {
  const std::vector<std::string> given(figures);
  std::string text;
  size_t next = 0;
  for (size_t i = 0; i < format.size(); ++i) {
    const bool escape = format[i] == '%' && i + 1 < format.size();
    if (escape && format[i + 1] == '%') {
      text += '%';
      ++i;
    } else if (escape && IsConversion(format[i + 1]) && next < given.size()) {
      text += given[next++];
      ++i;
    } else {
      text += format[i];
    }
  }
  return text;
}
