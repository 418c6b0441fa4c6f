// kilnartool verify: a written track compared with its source image.
#include <cstdio>
#include <string>

#include "QuotedText.h"
#include "RecorderChoice.h"
#include "driver/Command.h"
#include "driver/Numbers.h"
#include "kilnar/recorder/CwStream.h"

namespace {

constexpr const char* kUsage = "verify takes IMAGE [TRACK] [--drive H:T]";

}  // namespace

TOOL_COMMAND(RunVerify, "verify",
             "IMAGE [TRACK] [--drive H:T]  compare track TRACK of the disc (default the last) with IMAGE, all but "
             "its last four blocks, on the recorder write-image uses; prints `verified`") {
  if (args.empty()) return tool::Fail(kUsage);
  uint64_t track = 0;
  std::string place;
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--drive" && i + 1 < args.size()) {
      place = args[++i];
    } else if (track == 0 && tool::ParseUnsigned(args[i], track, 99) && track != 0) {
      continue;
    } else {
      return tool::Fail(kUsage);
    }
  }
  CwStream source;
  if (!source.Open(args[0].c_str(), true)) return tool::Fail(kilnartool::OneLine(source.GetErrorText()));
  ScsiMan manager;
  std::string error;
  const auto drive = kilnartool::CreateWritingRecorder(manager, place, error);
  if (!drive) return tool::Fail(kilnartool::OneLine(error));
  auto* recorder = dynamic_cast<ScsiDevice*>(drive.get());
  if (!recorder) return tool::Fail(std::string("the drive's class ") + drive->GetClassName() + " reads no disc");
  if (track == 0) track = recorder->GetTrackCount();
  if (track == 0) return tool::Fail("the disc holds no track");
  if (!recorder->VerifyTrack(source, static_cast<uint16_t>(track), 2048))
    return tool::Fail(kilnartool::OneLine(recorder->GetErrorText()));
  std::printf("verified\n");
  return 0;
}
