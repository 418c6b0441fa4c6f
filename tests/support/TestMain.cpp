// main() of every test program: sets up the per-process sandbox before any
// test or the platform layer reads the environment, runs a child function
// when started as a child, and removes the sandbox afterwards.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "TestPaths.h"

namespace twltest {
int RunChildIfAsked(int argc, char** argv);
}

int main(int argc, char** argv) {
  const bool isChild = argc >= 3 && std::string(argv[1]) == "--twl-child";
  const std::string& sandbox = twltest::SandboxDir();
  if (!isChild) {
    setenv("TWL_TEST_SOURCE_DIR", TWL_TEST_SOURCE_DIR_DEFAULT, 0);
    setenv("TWL_PROGRAM_DIR", TWL_PROGRAM_DIR_DEFAULT, 0);
    setenv("TWL_TEST_SANDBOX", sandbox.c_str(), 1);
    setenv("TWL_DESKTOP", (sandbox + "/desktop").c_str(), 1);
    setenv("TWL_REGISTRY", (sandbox + "/registry.sqlite").c_str(), 1);
    setenv("TMPDIR", (sandbox + "/tmp").c_str(), 1);
    // What the programs hand the desktop (file associations) stays in the
    // sandbox too.
    setenv("XDG_DATA_HOME", (sandbox + "/data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (sandbox + "/config").c_str(), 1);
    // Tests never open programs or windows on the desktop they run on.
    setenv("TWL_HEADLESS", "1", 1);
    std::filesystem::create_directories(sandbox + "/tmp");
  }
  int child = twltest::RunChildIfAsked(argc, argv);
  if (child >= 0) return child;

  testing::InitGoogleTest(&argc, argv);
  int result = RUN_ALL_TESTS();
  if (!std::getenv("TWL_KEEP_TEST_SANDBOX")) {
    std::error_code ignored;
    std::filesystem::remove_all(sandbox, ignored);
  }
  return result;
}
