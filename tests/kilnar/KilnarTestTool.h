// Running kilnartool and python3 from the recorder tests, and small file
// helpers they share.
#pragma once

#include <sys/stat.h>

#include <string>

#include "support/TestPaths.h"

namespace kilnartest {

// Runs kilnartool with the arguments (already quoted for the shell) and an
// optional environment prefix ("TZ=UTC "); returns the exit status and
// stdout, and stderr when asked for.
inline int RunKilnartool(const std::string& arguments, std::string* out, const std::string& environment = "",
                         std::string* err = nullptr) {
  const std::string errFile = twltest::SandboxDir() + "/kilnartool.err";
  const int status = twltest::RunCommand(environment + "'" + twltest::ProgramPath("kilnartool") + "' " + arguments +
                                             " 2>'" + errFile + "'",
                                         out);
  if (err) *err = twltest::ReadFile(errFile);
  return status;
}

inline std::string Quoted(const std::string& text) { return "'" + text + "'"; }

inline long long FileSize(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 ? static_cast<long long>(info.st_size) : -1;
}

// Random bytes of a given length, the same each run.
inline std::string PatternBytes(size_t length, unsigned seed = 1) {
  std::string bytes(length, '\0');
  unsigned state = seed * 2654435761u + 1;
  for (auto& byte : bytes) {
    state = state * 1103515245u + 12345u;
    byte = static_cast<char>(state >> 16);
  }
  return bytes;
}

}  // namespace kilnartest
