#include <cstdint>
#include <cstdio>

#include "driver/Command.h"
#include "driver/Numbers.h"
#include "kilnar/recorder/IsoDates.h"
#include "kilnar/recorder/TimeStamp.h"

TOOL_COMMAND(RunDateFields, "datefields",
             "SECONDS  the ISO 9660 date fields of a Unix time (0: now, as a time stamp reads it) in the local "
             "zone: `volume DIGITS` (the 16 digits of a volume date) and `record Y M D H M S OFFSET` (the seven "
             "bytes of a record date in decimal: years since 1900, month, day, hour, minute, second, and the "
             "signed offset from UTC in quarter hours at that instant)") {
  uint64_t seconds = 0;
  if (args.size() != 1 || !tool::ParseUnsigned(args[0], seconds, 0xFFFFFFFFu))
    return tool::Fail("datefields takes one 32-bit count of SECONDS");
  const TimeStamp time(static_cast<uint32_t>(seconds));
  char volume[17] = {};
  uint8_t record[7] = {};
  FormatVolumeDate(volume, &time);
  FormatRecordDate(record, &time);
  if (!volume[0]) return tool::Fail("the time cannot be converted into a local date");
  std::printf("volume %s\nrecord %u %u %u %u %u %u %d\n", volume, record[0], record[1], record[2], record[3],
              record[4], record[5], static_cast<int8_t>(record[6]));
  return 0;
}
