// Small file operations of the desktop folder, where other processes read
// what this one writes: whole writes, files replaced atomically, and reads
// with a size limit (another process's file may be anything).
#pragma once

#include <cstddef>
#include <string>

namespace twl::user {

// Writes all bytes, retrying after interruptions; false on any failure.
bool WriteWhole(int fd, const void* data, size_t size);
// Writes the file under a temporary name (ending in `tag`) and renames it
// into place, so readers see the old file or the new one, never a part.
bool WriteFileAtomically(const std::string& path, const std::string& text, const std::string& tag);
// False when the file is missing or larger than `limit` bytes.
bool ReadSmallFile(const std::string& path, size_t limit, std::string* text);

}  // namespace twl::user
