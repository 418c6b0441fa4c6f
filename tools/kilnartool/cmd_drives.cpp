#include <cstdio>

#include "DriveSearch.h"
#include "QuotedText.h"
#include "driver/Command.h"

TOOL_COMMAND(RunDrives, "drives",
             " search every host adapter and target for CD devices and print `drive H T type N class CLASS name "
             "\"MODEL\"` for each (type 999 included); nothing when there is none") {
  if (!args.empty()) return tool::Fail("drives takes no arguments");
  ScsiMan manager;
  if (!manager.FindHostAdapters()) return 0;
  for (const auto& drive : kilnartool::FindCdDrives(manager)) {
    const char* className = manager.ChooseClass(drive.type, drive.hostAdapter, drive.target);
    std::printf("drive %u %u type %u class %s name %s\n", drive.hostAdapter, drive.target, drive.type,
                className ? className : "none", kilnartool::Quoted(drive.modelName).c_str());
  }
  return 0;
}
