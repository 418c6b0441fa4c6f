// Command lines for the tests that compare with gifsicle and ImageMagick,
// which are run through the shell.
#pragma once

#include <sys/wait.h>

#include <string>

#include "support/TestPaths.h"

namespace readertest {

// `text` as one shell word (file names here hold no single quote).
inline std::string Quote(const std::string& text) { return "'" + text + "'"; }

// Exit code of a shell command line, -1 when it did not exit; its stdout
// and stderr in `output`.
inline int RunShell(const std::string& commandLine, std::string* output = nullptr) {
  const int status = twltest::RunCommand(commandLine + " 2>&1", output);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// What ImageMagick's compare says of two pictures: the count of pixels
// that differ ("0" when they are the same).
inline std::string DifferingPixels(const std::string& a, const std::string& b) {
  std::string output;
  RunShell("compare -metric AE " + Quote(a) + " " + Quote(b) + " null:", &output);
  return output;
}

}  // namespace readertest
