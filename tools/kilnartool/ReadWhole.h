// Reading an image file whole: exactly the bytes asked for, or false at an
// error or a file that ends first.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>

namespace kilnartool {

inline bool ReadWhole(int fd, uint8_t* buffer, size_t length) {
  while (length > 0) {
    const ssize_t got = read(fd, buffer, length);
    if (got <= 0) return false;
    buffer += got;
    length -= static_cast<size_t>(got);
  }
  return true;
}

}  // namespace kilnartool
