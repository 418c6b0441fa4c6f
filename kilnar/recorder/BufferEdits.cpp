#include "kilnar/recorder/BufferEdits.h"

#include <cstring>

namespace {

bool IsTrailingBlank(char c) { return c == ' ' || c == '\r' || c == '\n'; }

}  // namespace

void TrimRight(char* text) {
  if (!text) return;
  size_t length = std::strlen(text);
  while (length > 0 && IsTrailingBlank(text[length - 1])) --length;
  text[length] = '\0';
}

void TrimRight(std::string& text) {
  while (!text.empty() && IsTrailingBlank(text.back())) text.pop_back();
}

void MoveBytes(void* to, const void* from, size_t count) {
  if (count == 0 || !to || !from) return;
  std::memmove(to, from, count);
}
