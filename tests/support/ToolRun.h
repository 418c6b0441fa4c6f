// Runs a program of the program folder (twltool, fndtool, ...) with a shell
// argument string, keeping what it wrote to stdout and stderr apart.
#pragma once

#include <string>

namespace twltest {

struct ToolRun {
  int exitCode;  // -1 when it did not exit normally
  std::string out;
  std::string err;
};

// `arguments` is inserted into a shell command line as it stands; `prefix`
// goes before the program (environment assignments such as "A=1 ").
ToolRun RunTool(const std::string& program, const std::string& arguments, const std::string& prefix = "");

}  // namespace twltest
