// Subcommands of the command-line drivers (fndtool, twltool, skinc). Each
// subcommand lives in its own file and registers itself with TOOL_COMMAND;
// the program's main() hands its arguments to RunDriver, which dispatches on
// the first one.
#pragma once

#include <string>
#include <vector>

namespace tool {

using Args = std::vector<std::string>;
using CommandMain = int (*)(const Args& args);

struct Command {
  const char* name;
  const char* usage;
  CommandMain run;
};

bool RegisterCommand(const Command& command);
const std::vector<Command>& Commands();

// Prints "<program>: <message>" to stderr and returns exit code 1.
int Fail(const std::string& message);

// Runs the subcommand argv[1] names with the arguments after it; "help"
// lists the subcommands with their usage on stdout. An exception that
// escapes a subcommand is reported with Fail.
int RunDriver(const char* program, int argc, char** argv);

}  // namespace tool

#define TOOL_COMMAND(ident, name, usage)                          \
  static int ident(const ::tool::Args& args);                     \
  static const bool ident##_registered =                          \
      ::tool::RegisterCommand({name, usage, &ident});             \
  static int ident([[maybe_unused]] const ::tool::Args& args)
