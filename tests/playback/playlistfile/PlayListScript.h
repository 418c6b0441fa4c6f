// Runs the playlist file script of this folder (python3) and answers its
// output; a failing run fails the test.
#pragma once

#include <sys/wait.h>

#include <gtest/gtest.h>

#include <string>

#include "support/TestPaths.h"

namespace playlisttest {

inline std::string Python(const std::string& arguments) {
  std::string output;
  const std::string script = twltest::SourceDir() + "/tests/playback/playlistfile/p4u_file.py";
  const int status = twltest::RunCommand("python3 '" + script + "' " + arguments + " 2>&1", &output);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << output;
  return output;
}

}  // namespace playlisttest
