#include "playback/playlist/PlayListExtensions.h"

#include <strings.h>

#include <cstring>

namespace {

constexpr const char* kPlayListExtensions[] = {"p4u", "pp4u", "vp4u", "m3u", "pls", "wpl"};

}  // namespace

bool HasPlayListExtension(const char* name) {
  const char* dot = name ? std::strrchr(name, '.') : nullptr;
  if (!dot) return false;
  for (const char* extension : kPlayListExtensions)
    if (strcasecmp(dot + 1, extension) == 0) return true;
  return false;
}
