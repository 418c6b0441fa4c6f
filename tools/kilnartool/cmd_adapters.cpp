#include <cstdio>
#include <string>

#include "QuotedText.h"
#include "driver/Command.h"
#include "kilnar/recorder/AspiTarget.h"
#include "kilnar/recorder/ScsiMan.h"
#include "kilnar/recorder/SmallTransferMode.h"

TOOL_COMMAND(RunAdapters, "adapters",
             " find the ASPI host adapters and print `adapter H \"IDENT\" targets N` for each, after its host "
             "adapter inquiry, then `small-transfers on` when an adapter asks for small transfers") {
  if (!args.empty()) return tool::Fail("adapters takes no arguments");
  ScsiMan manager;
  if (!manager.FindHostAdapters())
    return tool::Fail(*manager.GetErrorText() ? kilnartool::OneLine(manager.GetErrorText())
                                              : "no ASPI manager answers");
  const uint16_t count = manager.GetHostAdapterCount();
  for (uint16_t adapter = 0; adapter < count; ++adapter) {
    AspiTarget target(adapter, 0, 0);
    uint16_t targets = 0;
    const char* identifier = target.HostAdapterInquiry(targets);
    if (!identifier) {
      std::printf("adapter %u none\n", adapter);
      continue;
    }
    std::printf("adapter %u %s targets %u\n", adapter, kilnartool::Quoted(identifier).c_str(), targets);
  }
  if (GetSmallTransferMode()) std::printf("small-transfers on\n");
  return 0;
}
