// A folder with an emulated recorder's disc and log for the kilnartool
// tests of the transport, and the environment that points kilnartool at it.
#pragma once

#include <string>
#include <vector>

#include "kilnar/KilnarTestTool.h"

namespace kilnartest {

struct EmulatedRecorderFolder {
  std::string folder = twltest::MakeTempDir("recorder");
  std::string disc = folder + "/disc.img";
  std::string log = folder + "/commands.log";

  // TWL_RECORDER and TWL_RECORDER_LOG, then any further switches.
  std::string Environment(const std::string& more = "") const {
    return "TWL_HEADLESS=1 TWL_RECORDER=emulated:" + Quoted(disc) + " TWL_RECORDER_LOG=" + Quoted(log) + " " + more +
           " ";
  }
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
