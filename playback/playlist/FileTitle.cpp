#include "playback/playlist/FileTitle.h"

#include <cstring>

CStr GetFileTitle(const char* url) {
  if (!url) return CStr();
  const char* name = url;
  for (const char* c = url; *c; ++c)
    if (*c == '/' || *c == '\\') name = c + 1;
  const char* dot = std::strrchr(name, '.');
  return dot ? CStr(name, static_cast<size_t>(dot - name)) : CStr(name);
}
