// Runs one of the program folder's command-line tools the way a user
// would, in a shell, and keeps its exit code and both outputs.
#pragma once

#include <string>

namespace twltest {

struct ToolRun {
  int status;  // the exit code; -1 when the tool did not exit normally
  std::string out;
  std::string err;
};

// `arguments` is shell text, quoted by the caller; `prefix` goes before the
// program (environment assignments such as "A=1 ").
ToolRun RunTool(const std::string& program, const std::string& arguments, const std::string& prefix = "");

}  // namespace twltest
