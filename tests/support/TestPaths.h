// Per-process sandbox of a test program, and child processes that run a
// named function of the same test program (for tests across processes).
//
// Every test process gets a fresh folder of its own; $TWL_DESKTOP,
// $TWL_REGISTRY and $TMPDIR point into it, so tests running in parallel
// never meet each other's named objects, registry or temporary files.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

namespace twltest {

// The sandbox folder of this test process (no trailing slash).
const std::string& SandboxDir();

// A fresh empty folder inside the sandbox.
std::string MakeTempDir(const std::string& hint = "dir");

// Writes bytes to a file, creating or truncating it; fails the test on error.
void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);

// The source tree, for sample files kept beside the tests.
std::string SourceDir();

// A program of the program folder (fndtool, ...), by file name.
std::string ProgramPath(const std::string& name);

// Runs a shell command line; returns its exit status as system() reports it
// and, when `output` is given, what it wrote to stdout.
int RunCommand(const std::string& commandLine, std::string* output = nullptr);

// Functions that a child process can run: register at static init with
// TWLTEST_CHILD(name) { ... return exit code; }.
using ChildMain = std::function<int(const std::vector<std::string>& args)>;
bool RegisterChild(const char* name, ChildMain main);

// Starts this test program again running the child function `name` with
// the given arguments; the child shares the sandbox. Returns its pid.
pid_t SpawnChild(const std::string& name, const std::vector<std::string>& args = {});

// Waits for a child; returns its exit status as waitpid reports it.
int WaitChild(pid_t pid);

}  // namespace twltest

#define TWLTEST_CHILD_CAT2(a, b) a##b
#define TWLTEST_CHILD_CAT(a, b) TWLTEST_CHILD_CAT2(a, b)
#define TWLTEST_CHILD(name)                                                                   \
  static int TWLTEST_CHILD_CAT(twltest_child_, name)(const std::vector<std::string>& args);   \
  static const bool TWLTEST_CHILD_CAT(twltest_child_registered_, name) =                      \
      ::twltest::RegisterChild(#name, TWLTEST_CHILD_CAT(twltest_child_, name));               \
  static int TWLTEST_CHILD_CAT(twltest_child_, name)([[maybe_unused]] const std::vector<std::string>& args)
