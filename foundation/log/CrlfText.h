// Writing a text with every line break as CR LF: CR, LF and CR LF each
// count as one break. The pieces go to a sink (bytes, length) through a
// small buffer of the caller's stack, so the conversion allocates nothing
// and also serves the crash report.
#pragma once

#include <cstddef>
#include <cstring>

template <class Sink>
void WriteWithCrlf(const char* text, Sink&& sink) {
  char chunk[1024];
  size_t used = 0;
  auto put = [&](char c) {
    if (used == sizeof chunk) {
      sink(chunk, used);
      used = 0;
    }
    chunk[used++] = c;
  };
  for (const char* p = text; *p; ++p) {
    if (*p != '\r' && *p != '\n') {
      put(*p);
      continue;
    }
    if (p[0] == '\r' && p[1] == '\n') ++p;
    put('\r');
    put('\n');
  }
  if (used > 0) sink(chunk, used);
}
