#include <windows.h>

#include <cstdio>

#include "Command.h"

FNDTOOL_COMMAND(RunVersion, "version", "  print the version of the tool and of the system it reports") {
  if (!args.empty()) return fndtool::Fail("version takes no arguments");
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExA(&info)) return fndtool::Fail("GetVersionExA failed");
  std::printf("fndtool %s\n", TWL_VERSION_TEXT);
  std::printf("platform: Windows NT %u.%u build %u\n", info.dwMajorVersion, info.dwMinorVersion,
              info.dwBuildNumber);
  return 0;
}
