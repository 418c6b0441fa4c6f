// Subcommands of fndtool. Each lives in its own file and registers itself
// with FNDTOOL_COMMAND; main() dispatches on the first argument.
#pragma once

#include <string>
#include <vector>

namespace fndtool {

using Args = std::vector<std::string>;
using CommandMain = int (*)(const Args& args);

struct Command {
  const char* name;
  const char* usage;
  CommandMain run;
};

bool RegisterCommand(const Command& command);
const std::vector<Command>& Commands();

// Prints "fndtool: <message>" to stderr and returns exit code 1.
int Fail(const std::string& message);

}  // namespace fndtool

#define FNDTOOL_COMMAND(ident, name, usage)                          \
  static int ident(const ::fndtool::Args& args);                     \
  static const bool ident##_registered =                             \
      ::fndtool::RegisterCommand({name, usage, &ident});             \
  static int ident([[maybe_unused]] const ::fndtool::Args& args)
