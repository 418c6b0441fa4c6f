#include "TestPaths.h"

#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

extern char** environ;

namespace twltest {
namespace {

std::map<std::string, ChildMain>& Children() {
  static std::map<std::string, ChildMain> children;
  return children;
}

std::string CreateSandbox() {
  const char* base = std::getenv("TWL_TEST_TMP");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/twltest-XXXXXX";
  if (!mkdtemp(pattern.data())) {
    perror("mkdtemp");
    std::abort();
  }
  return pattern;
}

}  // namespace

const std::string& SandboxDir() {
  // A child process inherits its parent's sandbox through the environment.
  static const std::string dir = [] {
    const char* inherited = std::getenv("TWL_TEST_SANDBOX");
    return inherited && *inherited ? std::string(inherited) : CreateSandbox();
  }();
  return dir;
}

std::string MakeTempDir(const std::string& hint) {
  std::string pattern = SandboxDir() + "/" + hint + "-XXXXXX";
  if (!mkdtemp(pattern.data())) ADD_FAILURE() << "mkdtemp failed in " << SandboxDir();
  return pattern;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  ASSERT_TRUE(out) << "cannot write " << path;
  out << bytes;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

std::string SourceDir() {
  const char* dir = std::getenv("TWL_TEST_SOURCE_DIR");
  return dir ? dir : ".";
}

std::string ProgramPath(const std::string& name) {
  const char* dir = std::getenv("TWL_PROGRAM_DIR");
  return std::string(dir ? dir : ".") + "/" + name;
}

int RunCommand(const std::string& commandLine, std::string* output) {
  FILE* pipe = popen(commandLine.c_str(), "r");
  if (!pipe) return -1;
  std::string collected;
  char chunk[4096];
  while (size_t count = fread(chunk, 1, sizeof chunk, pipe)) collected.append(chunk, count);
  int status = pclose(pipe);
  if (output) *output = std::move(collected);
  return status;
}

bool RegisterChild(const char* name, ChildMain main) {
  Children()[name] = std::move(main);
  return true;
}

pid_t SpawnChild(const std::string& name, const std::vector<std::string>& args) {
  std::vector<std::string> words{"/proc/self/exe", "--twl-child", name};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  int rc = posix_spawn(&pid, "/proc/self/exe", nullptr, nullptr, argv.data(), environ);
  if (rc != 0) {
    ADD_FAILURE() << "posix_spawn failed: " << rc;
    return -1;
  }
  return pid;
}

int WaitChild(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return status;
}

int RunChildIfAsked(int argc, char** argv) {
  if (argc < 3 || std::string(argv[1]) != "--twl-child") return -1;
  auto found = Children().find(argv[2]);
  if (found == Children().end()) {
    fprintf(stderr, "no child function named %s\n", argv[2]);
    return 99;
  }
  return found->second(std::vector<std::string>(argv + 3, argv + argc));
}

}  // namespace twltest
