#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <utility>

#include "support/TestPaths.h"

namespace {

// The program folder is build/bin beside the tests' folder build/tests when
// the environment does not name it.
std::string Fndtool() {
  if (const char* folder = std::getenv("TWL_PROGRAM_DIR")) return std::string(folder) + "/fndtool";
  char self[4096];
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  if (length <= 0) return "fndtool";
  std::string path(self, static_cast<size_t>(length));
  return path.substr(0, path.rfind('/')) + "/../bin/fndtool";
}

bool OutputHas(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

// fndtool reads address 0x10 with the crash filter installed: the process
// dies of the fault, and the report in ./CrashLog names the exception, the
// address read and fndtool as the module of the faulting instruction.
TEST(FndtoolCrash, ReadOfAnUnmappedAddressLeavesACrashReport) {
  const std::string folder = twltest::MakeTempDir("crash");
  // A sanitizer's own fault handler stays out of the way of the filter.
  const std::string command = "cd '" + folder + "' && ASAN_OPTIONS=handle_segv=0:handle_sigbus=0 '" + Fndtool() +
                              "' crash read 0x10 >/dev/null 2>&1";
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_NE(WEXITSTATUS(status), 0);  // the shell reports the death by signal as 128 + signal

  const std::string report = twltest::ReadFile(folder + "/CrashLog");
  EXPECT_TRUE(OutputHas(report, "\r\n\r\nFatal Exception at 0x")) << report;
  EXPECT_TRUE(OutputHas(report, " (fndtool, base address: 0x")) << report;
  EXPECT_TRUE(OutputHas(report, "The thread tried to read from or write to a virtual address for which it does "
                               "not have the appropriate access.\r\n"))
      << report;
  EXPECT_TRUE(OutputHas(report, "Additional Information:\r\nAttempted to read at 0x00000010\r\n")) << report;
  EXPECT_TRUE(OutputHas(report, "Control registers:\r\n")) << report;
  EXPECT_FALSE(OutputHas(report, "\n\n")) << "bare line feeds";
}
