#include "CommandLine.h"

#include <fstream>
#include <iterator>

#include "twlwin/processes.h"

namespace twl {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Reads one argument after the program from `at`; false when none is left.
bool NextArgument(std::string_view line, size_t& at, std::string& out) {
  while (at < line.size() && IsBlank(line[at])) ++at;
  if (at >= line.size()) return false;
  out.clear();
  bool quoted = false;
  while (at < line.size()) {
    char c = line[at];
    if (IsBlank(c) && !quoted) break;
    if (c == '\\') {
      size_t slashes = 0;
      while (at < line.size() && line[at] == '\\') {
        ++slashes;
        ++at;
      }
      if (at < line.size() && line[at] == '"') {
        out.append(slashes / 2, '\\');
        if (slashes % 2) {
          out += '"';
          ++at;
        }
      } else {
        out.append(slashes, '\\');
      }
      continue;
    }
    if (c == '"') {
      if (quoted && at + 1 < line.size() && line[at + 1] == '"') {
        out += '"';
        at += 2;
        continue;
      }
      quoted = !quoted;
      ++at;
      continue;
    }
    out += c;
    ++at;
  }
  return true;
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view line) {
  std::vector<std::string> args;
  size_t at = 0;
  while (at < line.size() && IsBlank(line[at])) ++at;
  if (at >= line.size()) return args;
  std::string program;
  if (line[at] == '"') {
    size_t end = line.find('"', at + 1);
    if (end == std::string_view::npos) end = line.size();
    program = line.substr(at + 1, end - at - 1);
    at = end < line.size() ? end + 1 : end;
  } else {
    size_t end = at;
    while (end < line.size() && !IsBlank(line[end])) ++end;
    program = line.substr(at, end - at);
    at = end;
  }
  args.push_back(program);
  std::string argument;
  while (NextArgument(line, at, argument)) args.push_back(argument);
  return args;
}

std::string JoinCommandLine(const std::vector<std::string>& args) {
  std::string line;
  for (const std::string& arg : args) {
    if (!line.empty()) line += ' ';
    const bool quote = arg.empty() || arg.find_first_of(" \t") != std::string::npos;
    line += quote ? "\"" + arg + "\"" : arg;
  }
  return line;
}

}  // namespace twl

TWLAPI LPSTR GetCommandLineA() {
  // Made once, from the arguments the process was started with.
  static std::string line = [] {
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> args;
    size_t start = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
      if (bytes[i] != '\0') continue;
      args.push_back(bytes.substr(start, i - start));
      start = i + 1;
    }
    if (start < bytes.size()) args.push_back(bytes.substr(start));
    return twl::JoinCommandLine(args);
  }();
  return line.data();
}
