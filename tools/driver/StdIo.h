// Whole-buffer reads from stdin and writes to stdout on the descriptors,
// for the subcommands that filter bytes.
#pragma once

#include <unistd.h>

#include <cerrno>
#include <cstddef>

namespace tool {

// Fills the buffer unless stdin ends first; the count read, or -1 on a
// read error.
inline ptrdiff_t ReadStdin(void* buffer, size_t size) {
  size_t done = 0;
  while (done < size) {
    const ssize_t got = read(STDIN_FILENO, static_cast<char*>(buffer) + done, size - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return -1;
    if (got == 0) break;
    done += static_cast<size_t>(got);
  }
  return static_cast<ptrdiff_t>(done);
}

inline bool WriteStdout(const void* buffer, size_t size) {
  const char* bytes = static_cast<const char*>(buffer);
  while (size > 0) {
    const ssize_t written = write(STDOUT_FILENO, bytes, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

}  // namespace tool
