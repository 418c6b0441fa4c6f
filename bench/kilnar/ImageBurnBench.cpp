// Burning a 64 MiB image onto the emulated recorder through the engine's
// writing path (the ATAPI recorder's StartTrack, Write of 30-block pieces
// read from the image file, EndTrack, Fixation on the manual clock) against
// `dd bs=60k` copying the image into the same folder, both timed inside
// each iteration. The counter `ratio` is the burn's speed over dd's; the
// goal is at least 0.5.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "kilnar/AgainstDd.h"
#include "kilnar/recorder/AtapiRecorder.h"
#include "kilnar/recorder/ScsiMan.h"
#include "twlwin/testing_recorder.h"
#include "twlwin/testing_user.h"

namespace {

using kilnarbench::BenchFolder;

constexpr uint32_t kImageSize = 64u << 20;
constexpr uint32_t kBlock = 2048;
constexpr uint32_t kPiece = 30 * kBlock;


// A new blank disc in the emulated recorder.
void NewDisc(const std::string& disc) {
  unlink(disc.c_str());
  unlink((disc + ".layout").c_str());
  setenv("TWL_RECORDER", ("emulated:" + disc).c_str(), 1);
  TwlTestRecorderReset();
}

// The burn job's order of calls; empty when it burned, else the text.
std::string Burn(const std::string& image) {
  ScsiMan manager;
  if (!manager.FindHostAdapters()) return "no adapter";
  const auto drive = manager.CreateDevice(0, 0);
  auto* recorder = dynamic_cast<ScsiDevice*>(drive.get());
  if (!recorder) return "no recorder";
  const uint32_t blocks = kImageSize / kBlock;
  if (recorder->GetFreeBlocks() < blocks) return "no room";
  WriteConfig config;
  if (recorder->GetConfig(0, config) != 0) return recorder->GetErrorText();
  config.speedCode = 6;
  config.blockSize = kBlock;
  if (recorder->SetConfig(config, 0) != 0 || !recorder->StartTrack(blocks, 1, 1, 0, 0, 0, nullptr))
    return recorder->GetErrorText();
  const int fd = open(image.c_str(), O_RDONLY);
  if (fd < 0) return "cannot open the image";
  uint8_t* buffer = recorder->GetTransferBuffer();
  bool written = true;
  for (uint32_t done = 0; written && done < kImageSize; done += kPiece) {
    const uint32_t piece = std::min(kPiece, kImageSize - done);
    written = read(fd, buffer, piece) == static_cast<ssize_t>(piece) && recorder->Write(buffer, piece);
  }
  close(fd);
  if (!written || !recorder->EndTrack(1, 0, 0) || recorder->Fixation(0, 1, 8, 1) != 0)
    return recorder->GetErrorText();
  return "";
}

void BM_ImageBurnVsDd(benchmark::State& state) {
  const std::string base = BenchFolder() + "/kilnar-burn-" + std::to_string(getpid());
  const std::string image = kilnarbench::MakePatternFile(base + ".iso", kImageSize, 11);
  const std::string disc = base + ".disc";
  const std::string ddTarget = base + ".dd";
  const std::string dd = "dd if='" + image + "' of='" + ddTarget + "' bs=60k status=none";
  // The session close waits minutes on the layer's clock; the manual
  // clock passes them at once.
  TwlTestUseManualClock(TRUE);
  TwlTestSleepAdvancesClock(TRUE);
  kilnarbench::TimeAgainstDd(
      state, "burn", [&] { return Burn(image); }, dd, static_cast<double>(kImageSize) / (1 << 20),
      [&] { NewDisc(disc); });
  for (const std::string& path : {image, disc, disc + ".layout", ddTarget}) unlink(path.c_str());
}
BENCHMARK(BM_ImageBurnVsDd)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace
