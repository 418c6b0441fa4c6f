#include <cstdio>

#include "driver/Command.h"
#include "playback/sound/SoundBuffer.h"

TOOL_COMMAND(RunVolumeTable, "volumetable",
             "\n"
             "      prints the volume table, one line 'LEVEL ATTENUATION' for each level 0..256,\n"
             "      the attenuation in hundredths of a decibel") {
  if (!args.empty()) return tool::Fail("volumetable takes no arguments");
  CSoundBuffer::InitVolumeTable();
  for (int level = 0; level < kVolumeLevels; ++level) {
    std::printf("%d %ld\n", level, static_cast<long>(CSoundBuffer::GetVolumeTableEntry(level)));
  }
  return 0;
}
