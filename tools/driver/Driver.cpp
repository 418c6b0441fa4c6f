#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>

#include "Command.h"

namespace tool {
namespace {

std::vector<Command>& MutableCommands() {
  static std::vector<Command> commands;
  return commands;
}

std::string& ProgramName() {
  static std::string name = "tool";
  return name;
}

int PrintUsage(FILE* out) {
  auto commands = Commands();
  std::sort(commands.begin(), commands.end(),
            [](const auto& a, const auto& b) { return std::strcmp(a.name, b.name) < 0; });
  std::fprintf(out, "usage: %s COMMAND [ARGS]\n\ncommands:\n", ProgramName().c_str());
  for (const auto& command : commands) std::fprintf(out, "  %s %s\n", command.name, command.usage);
  return out == stderr ? 1 : 0;
}

}  // namespace

bool RegisterCommand(const Command& command) {
  MutableCommands().push_back(command);
  return true;
}

const std::vector<Command>& Commands() { return MutableCommands(); }

int Fail(const std::string& message) {
  std::fprintf(stderr, "%s: %s\n", ProgramName().c_str(), message.c_str());
  return 1;
}

int RunDriver(const char* program, int argc, char** argv) {
  ProgramName() = program;
  if (argc < 2) return PrintUsage(stderr);
  std::string name = argv[1];
  if (name == "help" || name == "--help" || name == "-h") return PrintUsage(stdout);
  for (const auto& command : Commands()) {
    if (name != command.name) continue;
    try {
      return command.run(Args(argv + 2, argv + argc));
    } catch (const std::exception& error) {
      return Fail(error.what());
    }
  }
  Fail("unknown command '" + name + "'");
  return PrintUsage(stderr);
}

}  // namespace tool
