// The buffer protocol of GetTempPathA, GetCurrentDirectoryA and friends.
#pragma once

#include <cstring>
#include <string>

#include "twlwin/types.h"

namespace twl {

// Copies `text` with its NUL when it fits and returns its length; else
// leaves the buffer alone and returns the size needed, NUL included.
inline DWORD CopyOutOrNeed(const std::string& text, DWORD size, LPSTR buffer) {
  if (!buffer || size <= text.size()) return static_cast<DWORD>(text.size() + 1);
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return static_cast<DWORD>(text.size());
}

}  // namespace twl
