// kilnartool write-image: an ISO image burned as the burn job burns it,
// one track-at-once data track closed as a session that leaves the disc
// open for more.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>

#include "DiscAtOnceWriting.h"
#include "QuotedText.h"
#include "ReadWhole.h"
#include "RecorderChoice.h"
#include "driver/Command.h"
#include "driver/Numbers.h"
#include "kilnar/recorder/SmallTransferMode.h"

namespace {

constexpr uint32_t kBlock = 2048;
constexpr uint32_t kPieceBlocks = 30;
constexpr uint32_t kSmallPieceBlocks = 15;
constexpr uint8_t kTestWriteFlag = 0x02;
constexpr const char* kUsage = "write-image takes IMAGE [--test] [--dao] [--speed F] [--drive H:T]";

// The speed code of a speed factor, as the burn job turns one into the
// other.
int16_t SpeedCodeOf(uint64_t factor) {
  if (factor == 1) return 0;
  if (factor == 2) return 1;
  if (factor == 4) return 2;
  if (factor >= 8 && factor <= 40 && factor % 2 == 0) return static_cast<int16_t>(factor);
  return 6;
}

uint64_t HighestSpeed(ScsiDevice& recorder) {
  const uint32_t* speeds = recorder.GetSpeeds();
  uint64_t highest = 1;
  for (int i = 0; speeds && i < 40 && speeds[i] != 0; ++i) highest = speeds[i];
  return highest;
}

struct ImageFile {
  int fd = -1;
  ~ImageFile() {
    if (fd >= 0) close(fd);
  }
};

}  // namespace

TOOL_COMMAND(RunWriteImage, "write-image",
             "IMAGE [--test] [--dao] [--speed F] [--drive H:T]  write the ISO image IMAGE (whole 2048-byte blocks) as one "
             "track-at-once data track and close the session, leaving the disc open for another; the recorder is "
             "the first drive of a known model unless --drive names one; --test writes in test mode (nothing "
             "stored, the session not closed), --speed sets the speed factor (default the drive's highest); "
             "prints `recorder CLASS`, `free-blocks N`, `start LBA`, `progress P` as the recorder reports it, and "
             "`closed`; --dao writes the image at once instead, as one Mode 1 track described by the recorder's cue "
             "sheet, its raw lead-in or its vendor track table (raw 2352-byte sectors when the recorder takes "
             "them), and prints `closed` after its end") {
  if (args.empty()) return tool::Fail(kUsage);
  bool test = false;
  bool atOnce = false;
  uint64_t factor = 0;
  std::string place;
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--test") {
      test = true;
    } else if (args[i] == "--dao") {
      atOnce = true;
    } else if (args[i] == "--speed" && i + 1 < args.size()) {
      if (!tool::ParseUnsigned(args[++i], factor, 99) || factor == 0) return tool::Fail("--speed must be 1 to 99");
    } else if (args[i] == "--drive" && i + 1 < args.size()) {
      place = args[++i];
    } else {
      return tool::Fail(kUsage);
    }
  }
  ImageFile image;
  image.fd = open(args[0].c_str(), O_RDONLY);
  if (image.fd < 0) return tool::Fail("cannot open " + args[0]);
  const off_t size = lseek(image.fd, 0, SEEK_END);
  if (size <= 0 || size % kBlock != 0 || size / kBlock > 0xFFFFFFFFll || lseek(image.fd, 0, SEEK_SET) != 0)
    return tool::Fail(args[0] + " is not whole 2048-byte blocks");
  const uint32_t blocks = static_cast<uint32_t>(size / kBlock);

  ScsiMan manager;
  std::string error;
  const auto drive = kilnartool::CreateWritingRecorder(manager, place, error);
  if (!drive) return tool::Fail(kilnartool::OneLine(error));
  auto* recorder = dynamic_cast<ScsiDevice*>(drive.get());
  if (!recorder) return tool::Fail(std::string("the drive's class ") + drive->GetClassName() + " writes no disc");
  const auto fail = [&] { return tool::Fail(kilnartool::OneLine(recorder->GetErrorText())); };
  std::printf("recorder %s\n", recorder->GetClassName());
  // The drive refuses what does not fit; the count is only shown.
  std::printf("free-blocks %u\n", recorder->GetFreeBlocks());
  std::fflush(stdout);

  WriteConfig config;
  if (recorder->GetConfig(0, config) != 0) return fail();
  config.speedCode = SpeedCodeOf(factor != 0 ? factor : HighestSpeed(*recorder));
  config.testWrite = test ? 1 : 0;
  config.blockSize = kBlock;
  if (recorder->SetConfig(config, 0) != 0) return fail();
  if (atOnce) {
    if (!kilnartool::WriteImageAtOnce(*recorder, image.fd, blocks, args[0], error))
      return tool::Fail(kilnartool::OneLine(error));
    std::printf("closed\n");
    return 0;
  }
  const uint8_t flags = test ? kTestWriteFlag : 0;
  const auto progress = [](int percent) { std::printf("progress %d\n", percent); };
  if (!recorder->StartTrack(blocks, 1, 1, 0, 0, flags, progress)) return fail();
  std::printf("start %u\n", recorder->GetNextAddress());

  const uint32_t piece = GetSmallTransferMode() ? kSmallPieceBlocks : kPieceBlocks;
  uint8_t* buffer = recorder->GetTransferBuffer();
  for (uint32_t done = 0; done < blocks;) {
    const uint32_t n = std::min(piece, blocks - done);
    bool written = kilnartool::ReadWhole(image.fd, buffer, size_t{n} * kBlock);
    if (!written) recorder->SetErrorText("cannot read " + args[0]);
    written = written && recorder->Write(buffer, n * kBlock);
    if (!written) {
      // The track is still ended, as the burn job ends it; the first
      // failure is the one reported.
      const std::string first = recorder->GetErrorText();
      recorder->EndTrack(1, flags, 0);
      return tool::Fail(kilnartool::OneLine(first));
    }
    done += n;
  }
  if (!recorder->EndTrack(1, flags, 0)) return fail();
  if (test) return 0;
  if (recorder->Fixation(0, 1, 8, 1) != 0) return fail();
  std::printf("closed\n");
  return 0;
}
