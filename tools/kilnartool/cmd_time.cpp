#include <cstdint>
#include <cstdio>

#include "driver/Command.h"
#include "driver/Numbers.h"
#include "kilnar/recorder/TimeStamp.h"

TOOL_COMMAND(RunTime, "time",
             "VALUE | Y M D H M S  a time stamp from its 32-bit value (0: now) or from a local date: prints "
             "`value N` (unsigned) and `text T` (DD.MM.YYYY HH:MM, or ??.??.???? ??:?? when it cannot be "
             "converted)") {
  uint64_t parts[6] = {};
  if (args.size() != 1 && args.size() != 6) return tool::Fail("time takes VALUE or Y M D H M S");
  for (size_t i = 0; i < args.size(); ++i)
    if (!tool::ParseUnsigned(args[i], parts[i], args.size() == 1 ? 0xFFFFFFFFu : 0xFFFFu))
      return tool::Fail("time takes a 32-bit VALUE or six 16-bit numbers Y M D H M S");
  const TimeStamp time = args.size() == 1
                             ? TimeStamp(static_cast<uint32_t>(parts[0]))
                             : TimeStamp(static_cast<uint16_t>(parts[0]), static_cast<uint16_t>(parts[1]),
                                         static_cast<uint16_t>(parts[2]), static_cast<uint16_t>(parts[3]),
                                         static_cast<uint16_t>(parts[4]), static_cast<uint16_t>(parts[5]));
  std::printf("value %u\ntext %s\n", time.GetValue(), time.ToText());
  return 0;
}
