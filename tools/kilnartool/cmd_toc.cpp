#include <cstdio>
#include <memory>
#include <string>

#include "DriveSearch.h"
#include "QuotedText.h"
#include "driver/Command.h"
#include "kilnar/recorder/DiscLayout.h"
#include "kilnar/recorder/ScsiDevice.h"

namespace {

std::string MsfText(const Msf& msf) {
  char text[16];
  std::snprintf(text, sizeof text, "%02u:%02u:%02u", msf.minute, msf.second, msf.frame);
  return text;
}

// The drive's recorder object, which every class of the factory is.
ScsiDevice* AsRecorder(const std::unique_ptr<ScsiDrive>& drive) { return dynamic_cast<ScsiDevice*>(drive.get()); }

}  // namespace

TOOL_COMMAND(RunToc, "toc",
             "[--drive H:T]  read the disc of a drive (default: the first CD drive): prints `sessions N`, "
             "`tracks N`, `disc-type T`, one line `track N session S format F start MM:SS:FF length MM:SS:FF "
             "pregap MM:SS:FF` per track, `last-session-start LBA track N`, `label \"TEXT\"` or `label none`, "
             "`next-writable LBA` and `free-blocks N`") {
  std::string place;
  if (args.size() == 2 && args[0] == "--drive") place = args[1];
  else if (!args.empty()) return tool::Fail("toc takes [--drive H:T]");
  ScsiMan manager;
  std::string error;
  const auto drive = kilnartool::CreateRecorder(manager, place, error);
  if (!drive) return tool::Fail(kilnartool::OneLine(error));
  ScsiDevice* recorder = AsRecorder(drive);
  if (!recorder) return tool::Fail(std::string("the drive's class ") + drive->GetClassName() + " reads no disc");
  const uint16_t sessions = recorder->GetSessionCount();
  auto disc = std::make_unique<DiscInfo>();
  if (!recorder->ReadDiscInfo(*disc, nullptr) || !recorder->ReadFullToc(*disc))
    return tool::Fail(kilnartool::OneLine(recorder->GetErrorText()));
  std::printf("sessions %u\ntracks %u\ndisc-type %u\n", sessions, disc->trackCount, disc->discType);
  for (int i = 0; i < disc->trackCount && i < DiscInfo::kMaxTracks; ++i) {
    const TrackInfo& track = disc->tracks[i];
    std::printf("track %u session %u format %u start %s length %s pregap %s\n", track.trackNumber,
                track.sessionNumber, track.format, MsfText(track.start).c_str(), MsfText(track.length).c_str(),
                MsfText(track.pregap).c_str());
  }
  int32_t start = 0;
  const uint16_t firstTrack = recorder->GetLastSessionStart(start);
  std::printf("last-session-start %d track %u\n", start, firstTrack);
  bool bridge = false;
  char label[32] = {};
  if (recorder->ReadVolumeLabel(static_cast<uint32_t>(start), bridge, label, sizeof label)) {
    std::string text = label;
    text.erase(text.find_last_not_of(' ') + 1);
    std::printf("label %s\n", kilnartool::Quoted(text).c_str());
  } else {
    std::printf("label none\n");
  }
  std::printf("next-writable %d\n", recorder->FirstWriteAdress(0, 1, 0, 0));
  std::printf("free-blocks %u\n", recorder->GetFreeBlocks());
  return 0;
}
