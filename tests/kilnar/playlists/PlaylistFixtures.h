// The burner's playlist tests: the python3 writer and reader of this
// folder, and files made in the sandbox.
#pragma once

#include <sys/wait.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "kilnar/KilnarTestTool.h"
#include "support/TestPaths.h"

namespace playlistfixtures {

// Runs playlist_files.py; a failing run fails the test.
inline std::string Script(const std::string& arguments) {
  std::string output;
  const std::string script = twltest::SourceDir() + "/tests/kilnar/playlists/playlist_files.py";
  const int status = twltest::RunCommand("python3 '" + script + "' " + arguments + " 2>&1", &output);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << arguments << "\n" << output;
  return output;
}

// A file of `size` bytes (at least one, so that it counts as there), its
// folders made where missing.
inline std::string MakeMedia(const std::string& path, size_t size = 100) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  twltest::WriteFile(path, std::string(size, 'm'));
  return path;
}

inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

// The lines of the output that begin with the word and a blank, without them.
inline std::vector<std::string> Field(const std::string& output, const std::string& word) {
  std::vector<std::string> values;
  for (const std::string& line : Lines(output))
    if (line.rfind(word + " ", 0) == 0) values.push_back(line.substr(word.size() + 1));
  return values;
}

// kilnartool's exit code (-1 when it did not exit).
inline int Kilnartool(const std::string& arguments, std::string* out, std::string* err = nullptr,
                      const std::string& environment = "") {
  std::string error;
  const int status = kilnartest::RunKilnartool(arguments, out, environment, err ? err : &error);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace playlistfixtures
