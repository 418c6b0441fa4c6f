// A folder with an emulated recorder's disc and log for the recorder
// tests: the environment that points kilnartool at it, and the same
// switches for the engine in the test's own process.
#pragma once

#include <cstdlib>
#include <string>
#include <vector>

#include "kilnar/KilnarTestTool.h"
#include "twlwin/testing_recorder.h"

namespace kilnartest {

struct EmulatedRecorderFolder {
  std::string folder = twltest::MakeTempDir("recorder");
  std::string disc = folder + "/disc.img";
  std::string log = folder + "/commands.log";

  // A run in the folder (devicelist_cdr.txt lands there) with a registry
  // of its own, TWL_RECORDER and TWL_RECORDER_LOG, then further switches.
  std::string Environment(const std::string& more = "") const {
    return "cd " + Quoted(folder) + " && TWL_HEADLESS=1 TWL_REGISTRY=" + Quoted(folder + "/registry.sqlite") +
           " TWL_RECORDER=emulated:" + Quoted(disc) + " TWL_RECORDER_LOG=" + Quoted(log) + " " + more + " ";
  }
  // The same recorder for the engine in this process.
  void UseInThisProcess() const {
    setenv("TWL_RECORDER", ("emulated:" + disc).c_str(), 1);
    setenv("TWL_RECORDER_LOG", log.c_str(), 1);
    TwlTestRecorderReset();
  }
  bool Logged(const std::string& line) const { return twltest::ReadFile(log).find(line + "\n") != std::string::npos; }
  std::vector<std::string> LogLines() const {
    std::vector<std::string> lines;
    std::string text = twltest::ReadFile(log);
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
      lines.push_back(text.substr(start, end - start));
    return lines;
  }
  // Lines of commands (not notes) that begin with these CDB bytes.
  int CountLogged(const std::string& cdbStart) const {
    int count = 0;
    for (const auto& line : LogLines())
      if (line.rfind(cdbStart, 0) == 0) ++count;
    return count;
  }
};

}  // namespace kilnartest
