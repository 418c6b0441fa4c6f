// `twltool timeout`: the default connection time-out that the player keeps
// under its settings key ("DefaultConnectionTimeout").
#include <cstdint>
#include <cstdio>

#include "driver/Command.h"
#include "driver/Numbers.h"
#include "foundation/errors/ThreadErrorState.h"
#include "playback/data/DataSystem.h"

TOOL_COMMAND(RunTimeout, "timeout",
             "[MS]  with MS (decimal milliseconds, 32-bit) store it as the default connection time-out; "
             "print the time-out in force, in milliseconds (30000 when none or no readable one is stored)") {
  if (args.size() > 1) return tool::Fail("timeout takes at most one number of milliseconds");
  CDataSystem& data = GetDataSystem();
  data.LoadOptions();
  if (args.size() == 1) {
    uint64_t milliseconds = 0;
    if (!tool::ParseUnsigned(args[0], milliseconds, 0xFFFFFFFF)) return tool::Fail("bad time-out " + args[0]);
    if (!data.SetDefaultConnectionTimeout(static_cast<DWORD>(milliseconds)))
      return tool::Fail(GetThreadErrorText().c_str());
  }
  std::printf("%lu\n", static_cast<unsigned long>(data.GetDefaultConnectionTimeout()));
  return 0;
}
