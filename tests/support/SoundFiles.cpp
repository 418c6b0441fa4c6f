#include "support/SoundFiles.h"

#include <gtest/gtest.h>

#include "support/TestPaths.h"

namespace twltest {

namespace {

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

}  // namespace

std::string SoxTone(const std::string& folder, const std::string& name, const std::string& seconds,
                    const std::string& frequency, std::string* raw) {
  const std::string path = folder + "/" + name;
  EXPECT_EQ(RunCommand("sox -n -r 44100 -c 2 -b 16 " + Quoted(path) + " synth " + seconds + " sine " + frequency +
                       " vol 0.5"),
            0);
  if (raw) {
    EXPECT_EQ(RunCommand("sox " + Quoted(path) + " -t raw " + Quoted(path + ".raw")), 0);
    *raw = ReadFile(path + ".raw");
  }
  return path;
}

}  // namespace twltest
