// Screevo gives back what each played file took: 200 short files played
// one after the other through the WAV-file sink leave the process with the
// descriptors it had and its resident memory within a small bound of where
// it stood after the first files (GStreamer's plug-ins and caches are
// loaded by then). A pipeline kept alive costs two descriptors (its bus)
// and about 170 KB a file.
#include <gtest/gtest.h>
#include <twlwin/testing_sound.h>
#include <unistd.h>
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ScreevoHost.h"

namespace {

constexpr int kWarmUpFiles = 20;
constexpr int kPlayedFiles = 200;

long OpenDescriptors() {
  long count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
  return count;
}

long ResidentKilobytes() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0;
  long resident = 0;
  statm >> pages >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

bool PlayToEnd(screevotest::ScreevoHost& host, const PlayerInterface& player, const std::string& path) {
  screevotest::Record().calls.clear();
  screevotest::Record().positions.clear();
  return player.PLAYER_Play(("file://" + path).c_str()) && host.PumpUntilFinished();
}

// What the child measured: descriptors and resident kilobytes after the
// warm-up and after the 200 files, and how many files played to their end.
struct Measured {
  long descriptorsBefore = -1, descriptorsAfter = -1;
  long residentBefore = -1, residentAfter = -1;
  int played = -1;
};

}  // namespace

// Plays the files in `args[0]` (a folder) and writes what it measured to
// `args[1]`.
TWLTEST_CHILD(PlayTwoHundredFiles) {
  const std::string folder = args.at(0);
  if (!TwlTestSetSoundSink(("wav:" + folder + "/capture.wav").c_str())) return 2;
  screevotest::ScreevoHost host;
  const PlayerInterface* player = host.Player();
  if (!player || !player->head.OBJECT_Init()) return 3;
  Measured measured;
  measured.played = 0;
  for (int i = 0; i < kWarmUpFiles + kPlayedFiles; ++i) {
    if (i == kWarmUpFiles) {
      measured.descriptorsBefore = OpenDescriptors();
      measured.residentBefore = ResidentKilobytes();
    }
    if (PlayToEnd(host, *player, folder + "/file " + std::to_string(i) + ".wav")) ++measured.played;
  }
  measured.descriptorsAfter = OpenDescriptors();
  measured.residentAfter = ResidentKilobytes();
  player->head.OBJECT_Exit();
  std::ofstream(args.at(1)) << measured.descriptorsBefore << ' ' << measured.descriptorsAfter << ' '
                            << measured.residentBefore << ' ' << measured.residentAfter << ' ' << measured.played;
  return 0;
}

namespace {

// The files play in a child process: under AddressSanitizer it runs
// without the quarantine of freed memory, which would grow the resident
// memory by itself.
TEST(ScreevoResources, TwoHundredPlayedFilesLeaveDescriptorsAndMemoryFlat) {
  const std::string folder = twltest::MakeTempDir("screevo");
  const std::string tone = screevotest::SoxTone(folder, "tone.wav", "0.02", "440");
  for (int i = 0; i < kWarmUpFiles + kPlayedFiles; ++i)
    std::filesystem::copy_file(tone, folder + "/file " + std::to_string(i) + ".wav");
  const char* sanitizer = std::getenv("ASAN_OPTIONS");
  setenv("ASAN_OPTIONS", (std::string(sanitizer ? sanitizer : "") + ":quarantine_size_mb=0").c_str(), 1);
  const std::string results = folder + "/measured.txt";
  const int status = twltest::WaitChild(twltest::SpawnChild("PlayTwoHundredFiles", {folder, results}));
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  Measured measured;
  std::ifstream(results) >> measured.descriptorsBefore >> measured.descriptorsAfter >> measured.residentBefore >>
      measured.residentAfter >> measured.played;
  EXPECT_EQ(measured.played, kWarmUpFiles + kPlayedFiles);
  EXPECT_EQ(measured.descriptorsAfter, measured.descriptorsBefore);
  EXPECT_LT(measured.residentAfter - measured.residentBefore, 8 * 1024)
      << "KB more after " << kPlayedFiles << " files (from " << measured.residentBefore << " KB)";
}

}  // namespace
