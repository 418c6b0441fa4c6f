// The data files of the blitting tests, and quoting for the shell.
#pragma once

#include <string>

#include "support/TestPaths.h"

namespace blittest {

inline std::string Fixture(const std::string& name) {
  return twltest::SourceDir() + "/tests/foundation/blit/data/" + name;
}

inline std::string Quote(const std::string& text) { return "'" + text + "'"; }

}  // namespace blittest
