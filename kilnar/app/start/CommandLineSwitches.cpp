#include "kilnar/app/start/CommandLineSwitches.h"

#include <windows.h>

#include <vector>

#include "kilnar/recorder/WideText.h"

namespace {

bool IsSwitch(const std::string& argument) { return argument == "-n" || argument == "-p"; }

// The arguments of the text, the program's own place taken by a stand-in.
std::vector<std::string> ArgumentsOf(const std::string& commandLine) {
  std::vector<std::string> arguments;
  const std::u16string line = WideOf("kilnar " + commandLine);
  int count = 0;
  LPWSTR* split = CommandLineToArgvW(line.c_str(), &count);
  if (!split) return arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(Utf8Of(split[i]));
  LocalFree(split);
  return arguments;
}

}  // namespace

std::string GetSwitchValue(const std::string& commandLine, const char* switchText) {
  const std::vector<std::string> arguments = ArgumentsOf(commandLine);
  for (size_t i = 0; i < arguments.size(); ++i) {
    if (arguments[i] != switchText) continue;
    if (i + 1 >= arguments.size() || IsSwitch(arguments[i + 1])) return {};
    return arguments[i + 1];
  }
  return {};
}

std::string GetNameArgument(const std::string& commandLine) { return GetSwitchValue(commandLine, "-n"); }
std::string GetPlaylistArgument(const std::string& commandLine) { return GetSwitchValue(commandLine, "-p"); }
