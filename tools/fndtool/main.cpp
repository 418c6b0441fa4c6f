#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>

#include "Command.h"

namespace fndtool {

std::vector<Command>& MutableCommands() {
  static std::vector<Command> commands;
  return commands;
}

bool RegisterCommand(const Command& command) {
  MutableCommands().push_back(command);
  return true;
}

const std::vector<Command>& Commands() { return MutableCommands(); }

int Fail(const std::string& message) {
  std::fprintf(stderr, "fndtool: %s\n", message.c_str());
  return 1;
}

}  // namespace fndtool

namespace {

int PrintUsage(FILE* out) {
  auto commands = fndtool::Commands();
  std::sort(commands.begin(), commands.end(),
            [](const auto& a, const auto& b) { return std::strcmp(a.name, b.name) < 0; });
  std::fprintf(out, "usage: fndtool COMMAND [ARGS]\n\ncommands:\n");
  for (const auto& command : commands) std::fprintf(out, "  %s %s\n", command.name, command.usage);
  return out == stderr ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return PrintUsage(stderr);
  std::string name = argv[1];
  if (name == "help" || name == "--help" || name == "-h") return PrintUsage(stdout);
  for (const auto& command : fndtool::Commands()) {
    if (name != command.name) continue;
    try {
      return command.run(fndtool::Args(argv + 2, argv + argc));
    } catch (const std::exception& error) {
      return fndtool::Fail(error.what());
    }
  }
  fndtool::Fail("unknown command '" + name + "'");
  return PrintUsage(stderr);
}
