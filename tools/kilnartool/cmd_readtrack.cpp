#include <cstdio>
#include <memory>
#include <string>

#include "DriveSearch.h"
#include "QuotedText.h"
#include "driver/Command.h"
#include "driver/Numbers.h"
#include "kilnar/recorder/CwStream.h"
#include "kilnar/recorder/ScsiDevice.h"

TOOL_COMMAND(RunReadTrack, "read-track",
             "TRACK OUT [--block-size N] [--drive H:T]  copy a track of the disc into the file OUT (block size "
             "2048 unless given; an audio track becomes a WAVE file)") {
  if (args.size() < 2) return tool::Fail("read-track takes TRACK OUT [--block-size N] [--drive H:T]");
  uint64_t track = 0, blockSize = 2048;
  if (!tool::ParseUnsigned(args[0], track, 99) || track == 0) return tool::Fail("TRACK must be 1 to 99");
  std::string place;
  for (size_t i = 2; i < args.size(); i += 2) {
    if (i + 1 >= args.size()) return tool::Fail("read-track takes TRACK OUT [--block-size N] [--drive H:T]");
    if (args[i] == "--block-size") {
      if (!tool::ParseUnsigned(args[i + 1], blockSize, 2352) || blockSize == 0)
        return tool::Fail("--block-size must be 1 to 2352");
    } else if (args[i] == "--drive") {
      place = args[i + 1];
    } else {
      return tool::Fail("read-track takes TRACK OUT [--block-size N] [--drive H:T]");
    }
  }
  ScsiMan manager;
  std::string error;
  const auto drive = kilnartool::CreateRecorder(manager, place, error);
  if (!drive) return tool::Fail(kilnartool::OneLine(error));
  auto* recorder = dynamic_cast<ScsiDevice*>(drive.get());
  if (!recorder) return tool::Fail(std::string("the drive's class ") + drive->GetClassName() + " reads no disc");
  CwStream out;
  if (!out.Open(args[1].c_str(), false)) return tool::Fail(kilnartool::OneLine(out.GetErrorText()));
  if (recorder->ReadTrackToFile(out, static_cast<uint16_t>(track), static_cast<uint32_t>(blockSize)) != 0) {
    if (out.IsOpen()) out.Delete();
    return tool::Fail(kilnartool::OneLine(recorder->GetErrorText()));
  }
  out.Close();
  if (out.IsOpen()) return tool::Fail(kilnartool::OneLine(out.GetErrorText()));
  return 0;
}
