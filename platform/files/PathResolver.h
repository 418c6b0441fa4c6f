// Turning the path a caller gives into the native path to use. Every file,
// folder and module call of the layer goes through ResolvePath.
#pragma once

#include <string>

namespace twl {

enum class ResolveMode {
  // Every component is looked up, the last one too.
  Existing,
  // The folder part is looked up; the last component is kept as given (the
  // new name of a rename, where only the case may change).
  KeepLastComponent,
};

// Converts '\' to '/', drops repeated and trailing separators, and, when the
// exact name is missing, looks each component up again ignoring ASCII case
// (bytes of multi-byte UTF-8 characters must match exactly). A component
// that is missing in any case is kept as given together with the rest, so
// the call that uses the path fails with the natural error: a missing file
// (ERROR_FILE_NOT_FOUND) or a missing folder on the way (ERROR_PATH_NOT_FOUND).
// A creation thus gets the existing folders as they are on disk and the new
// name as given; a file that differs only in case is used in its place.
std::string ResolvePath(const char* path, ResolveMode mode = ResolveMode::Existing);

// Only the separators converted: '\' to '/'.
std::string WithSlashes(const char* path);

// The absolute form of a native path (relative to the current folder).
std::string AbsolutePath(const std::string& path);

// ASCII case folding of one byte; other bytes are kept.
inline char FoldCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
bool EqualIgnoringCase(const std::string& a, const std::string& b);

}  // namespace twl
