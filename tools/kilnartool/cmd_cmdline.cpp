// kilnartool cmdline: Kilnar's command line switches as the program reads
// them.
#include <cstdio>
#include <string>

#include "driver/Command.h"
#include "kilnar/app/start/CommandLineSwitches.h"

TOOL_COMMAND(RunCmdline, "cmdline",
             "TEXT  read TEXT as Kilnar's command line (the text after the program, split as the layer splits "
             "every command line) and print `name VALUE` (the value after -n) and `playlist VALUE` (the value "
             "after -p); a missing switch, or one without a value, gives an empty value") {
  if (args.size() != 1) return tool::Fail("cmdline takes TEXT");
  std::printf("name %s\nplaylist %s\n", GetNameArgument(args[0]).c_str(), GetPlaylistArgument(args[0]).c_str());
  return 0;
}
