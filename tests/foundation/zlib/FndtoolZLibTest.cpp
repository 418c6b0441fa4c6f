// fndtool zdeflate and zinflate against python3's zlib: each side reads
// what the other writes, and broken input fails with zlib's texts.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <random>
#include <string>

#include "support/TestPaths.h"

namespace {

const char* const kPython = "/usr/bin/python3";

std::string Quote(const std::string& text) { return "'" + text + "'"; }

std::string Fndtool() { return Quote(twltest::ProgramPath("fndtool")); }

// Exit code of a shell command line; stdout in `output`.
int RunShell(const std::string& commandLine, std::string* output = nullptr) {
  const int status = twltest::RunCommand(commandLine, output);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void RequirePython() {
  ASSERT_EQ(RunShell(std::string(kPython) + " -c 'import zlib'"), 0)
      << "python3 with zlib is missing: install the package python3 (scripts/deps.sh test)";
}

// Several read chunks of the tool: random bytes, then text that packs well.
std::string SampleInput() {
  std::string data(400000, '\0');
  std::mt19937 random(11);
  for (size_t i = 0; i < data.size(); ++i)
    data[i] = i < 150000 ? static_cast<char>(random()) : "compressed skin "[i % 16];
  return data;
}

std::string PythonZlib(const std::string& expression, const std::string& in, const std::string& out) {
  return std::string(kPython) + " -c \"import sys, zlib; data = open(sys.argv[1], 'rb').read(); open(sys.argv[2], 'wb').write(" +
         expression + ")\" " + Quote(in) + " " + Quote(out);
}

TEST(FndtoolZLib, DeflatedOutputInflatesInPythonAndPythonsOutputInflatesHere) {
  RequirePython();
  const std::string dir = twltest::MakeTempDir("zlib");
  for (const std::string& input : {SampleInput(), std::string(), std::string("x")}) {
    const std::string name = std::to_string(input.size()) + " bytes";
    twltest::WriteFile(dir + "/input", input);

    ASSERT_EQ(RunShell(Fndtool() + " zdeflate < " + Quote(dir + "/input") + " > " + Quote(dir + "/ours.z")), 0) << name;
    ASSERT_EQ(RunShell(PythonZlib("zlib.decompress(data)", dir + "/ours.z", dir + "/python-inflated")), 0) << name;
    EXPECT_EQ(twltest::ReadFile(dir + "/python-inflated"), input) << name;

    for (const char* level : {"1", "9"}) {
      ASSERT_EQ(RunShell(PythonZlib(std::string("zlib.compress(data, ") + level + ")", dir + "/input", dir + "/theirs.z")), 0);
      ASSERT_EQ(RunShell(Fndtool() + " zinflate < " + Quote(dir + "/theirs.z") + " > " + Quote(dir + "/ours-inflated")), 0)
          << name << " at level " << level;
      EXPECT_EQ(twltest::ReadFile(dir + "/ours-inflated"), input) << name << " at level " << level;
    }
  }
}

TEST(FndtoolZLib, BrokenStreamsFailWithZlibsTexts) {
  RequirePython();
  const std::string dir = twltest::MakeTempDir("broken");
  twltest::WriteFile(dir + "/input", SampleInput());
  ASSERT_EQ(RunShell(Fndtool() + " zdeflate < " + Quote(dir + "/input") + " > " + Quote(dir + "/good.z")), 0);
  const std::string good = twltest::ReadFile(dir + "/good.z");

  const struct {
    const char* name;
    std::string bytes;
    const char* message;
  } cases[] = {
      {"not a zlib stream", "plain text\n", "fndtool: ZLib Error: incorrect header check\n"},
      {"cut short", good.substr(0, good.size() / 2),
       "fndtool: ZLib Error: No progress possible (no input data available or not enough output memory left)\n"},
      {"bytes after the end", good + "x", "fndtool: bytes follow the end of the compressed stream\n"},
      // The header's dictionary flag, then the dictionary's checksum.
      {"asks for a preset dictionary", std::string("\x78\xbb\x00\x00\x00\x01", 6),
       "fndtool: ZLib Error: Dictionary needed\n"},
  };
  for (const auto& c : cases) {
    twltest::WriteFile(dir + "/case.z", c.bytes);
    std::string output;
    // A tool that loops instead of failing is stopped (exit code 124).
    EXPECT_EQ(RunShell("timeout 20 " + Fndtool() + " zinflate < " + Quote(dir + "/case.z") + " 2>&1 >/dev/null",
                       &output),
              1)
        << c.name;
    EXPECT_EQ(output, c.message) << c.name;
  }
}

}  // namespace
