#include <cstdio>

#include "driver/Command.h"
#include "kilnar/recorder/IniFile.h"

TOOL_COMMAND(RunMsg, "msg",
             "FILE SECTION KEY [VALUE]  read a key of a message file (`value TEXT`), or write VALUE to it; FILE "
             "follows the engine's rule: an absolute name as it stands, any other beside kilnartool, \".INI\" "
             "added when it has no extension") {
  if (args.size() != 3 && args.size() != 4) return tool::Fail("msg takes FILE SECTION KEY [VALUE]");
  IniFile file(args[0].c_str(), nullptr);
  if (args.size() == 4) {
    file.WriteString(args[1].c_str(), args[2].c_str(), args[3].c_str());
    return 0;
  }
  std::printf("value %s\n", file.GetString(args[1].c_str(), args[2].c_str()));
  return 0;
}
