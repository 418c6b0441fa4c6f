#include <cstdint>
#include <cstdio>

#include "driver/Command.h"
#include "driver/Numbers.h"
#include "kilnar/app/NameCharMap.h"
#include "kilnar/app/NodeName.h"

TOOL_COMMAND(RunIsoName, "isoname",
             "MODE [--folder] NAME...  the ISO name of each long NAME (UTF-8) under name mode MODE (1-5) by the "
             "name rule alone, without the numbering of equal names: one line per NAME; --folder maps them as "
             "folders") {
  uint64_t mode = 0;
  if (args.empty() || !tool::ParseUnsigned(args[0], mode, 5) || mode == 0)
    return tool::Fail("isoname takes a MODE of 1 to 5, then names");
  size_t first = 1;
  const bool folder = args.size() > 1 && args[1] == "--folder";
  if (folder) ++first;
  if (first >= args.size()) return tool::Fail("isoname takes at least one NAME");
  const NameCharMap table;
  for (size_t i = first; i < args.size(); ++i) {
    NodeName names;
    names.SetLongName(args[i]);
    names.MapIsoName(static_cast<int>(mode), folder, table);
    std::printf("%s\n", names.GetIsoName().c_str());
  }
  return 0;
}
