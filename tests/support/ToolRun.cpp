#include "support/ToolRun.h"

#include <sys/wait.h>

#include "support/TestPaths.h"

namespace twltest {

ToolRun RunTool(const std::string& program, const std::string& arguments, const std::string& prefix) {
  const std::string dir = MakeTempDir("run");
  const int status = RunCommand(prefix + "'" + ProgramPath(program) + "' " + arguments + " >'" + dir + "/out' 2>'" +
                                dir + "/err'");
  ToolRun run;
  run.exitCode = status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = ReadFile(dir + "/out");
  run.err = ReadFile(dir + "/err");
  return run;
}

}  // namespace twltest
