#include <windows.h>

#include <cstdio>

#include "driver/Command.h"

TOOL_COMMAND(RunVersion, "version", "  print the version of the tool and of the system it reports") {
  if (!args.empty()) return tool::Fail("version takes no arguments");
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExA(&info)) return tool::Fail("GetVersionExA failed");
  std::printf("fndtool %s\n", TWL_VERSION_TEXT);
  std::printf("platform: Windows NT %u.%u build %u\n", info.dwMajorVersion, info.dwMinorVersion,
              info.dwBuildNumber);
  return 0;
}
