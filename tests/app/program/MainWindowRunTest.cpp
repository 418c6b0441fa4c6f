// `twl` playing a tone headless, watched from outside: SIGUSR1 snapshots of
// its main window two seconds apart (compared with ImageMagick), then
// SIGTERM while it plays, which must end it cleanly (the test build runs
// under the sanitizers) with the exit steps at the end of the log.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "ProgramFolder.h"
#include "support/TestPaths.h"

namespace {

using programtest::Contains;

std::string Quote(const std::string& text) { return "'" + text + "'"; }

// Waits (at most 30 s) until the file exists.
bool WaitForFile(const std::string& path) {
  for (int round = 0; round < 300; ++round) {
    if (std::filesystem::exists(path)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return false;
}

std::string Output(const std::string& command) {
  std::string output;
  EXPECT_EQ(twltest::RunCommand(command, &output), 0) << command << "\n" << output;
  while (!output.empty() && (output.back() == '\n' || output.back() == ' ')) output.pop_back();
  return output;
}

// The picture with the given rectangles (left, top, right, bottom) filled.
std::string Masked(const std::string& picture, const std::string& rectangles) {
  const std::string out = picture + ".masked.png";
  Output("convert " + Quote(picture) + " -fill black " + rectangles + " " + Quote(out));
  return out;
}

// How many pixels differ, as ImageMagick counts them.
long Differing(const std::string& a, const std::string& b) {
  std::string output;
  twltest::RunCommand("compare -metric AE " + Quote(a) + " " + Quote(b) + " null: 2>&1", &output);
  return std::stol(output);
}

TEST(TwlMainWindow, PlayingAToneShowsTheRunningTimeAndEndsCleanlyOnSigterm) {
  const std::string folder = twltest::MakeTempDir("mainwindow");
  programtest::InstallProgram(folder, programtest::BuiltTwl());
  std::filesystem::copy_file(std::string(TWL_WAV_PLAYER_DIR) + "/TestWavPlayer.dll",
                             folder + "/PlugIns/TestWavPlayer.dll");
  const std::string media = twltest::MakeTempDir("media");
  const std::string tone = media + "/tone.wav";
  Output("sox -n -r 8000 -b 16 -c 1 " + Quote(tone) + " synth 6 sine 440");
  const std::string shots = twltest::MakeTempDir("shots");
  const pid_t pid = programtest::Start(folder, {tone},
                                       {"TWL_SNAPSHOT_DIR=" + shots, "TWL_SOUND_SINK=wav:" + folder + "/sink.wav"});
  ASSERT_TRUE(programtest::WaitForText(folder + "/Log.txt", "playing 'file://" + tone + "'"))
      << programtest::ReadText(folder + "/Log.txt") << programtest::ReadText(folder + "/stderr.txt");
  std::this_thread::sleep_for(std::chrono::milliseconds(1200));
  kill(pid, SIGUSR1);
  ASSERT_TRUE(WaitForFile(shots + "/MainWindow-1.png"));
  std::this_thread::sleep_for(std::chrono::milliseconds(2000));
  kill(pid, SIGUSR1);
  ASSERT_TRUE(WaitForFile(shots + "/MainWindow-2.png"));
  EXPECT_TRUE(std::filesystem::exists(shots + "/screen-1.png"));
  kill(pid, SIGTERM);
  EXPECT_EQ(programtest::Wait(pid), 0);

  const std::string errors = programtest::ReadText(folder + "/stderr.txt");
  EXPECT_FALSE(Contains(errors, "Sanitizer")) << errors;
  const std::string log = programtest::ReadText(folder + "/Log.txt");
  const size_t saved = log.rfind("saving last playlist");
  ASSERT_NE(saved, std::string::npos) << log;
  EXPECT_TRUE(Contains(log.substr(saved), "deinitializing DirectDraw...done")) << log;

  const std::string first = shots + "/MainWindow-1.png";
  const std::string second = shots + "/MainWindow-2.png";
  const std::string skinSize = Output("identify -format '%wx%h' " +
                                      Quote(twltest::SourceDir() + "/resources/skins/builtin/MainWindowNormal.bmp"));
  EXPECT_EQ(Output("identify -format '%wx%h' " + Quote(first)), skinSize);
  // The time field ran on; besides it only the info field and the
  // progress bar may change.
  const std::string time = "-draw 'rectangle 10,42 73,57'";
  const std::string others = "-draw 'rectangle 10,22 269,37' -draw 'rectangle 80,46 269,53'";
  EXPECT_GT(Differing(Masked(first, others), Masked(second, others)), 0) << "the time field shows the time";
  EXPECT_EQ(Differing(Masked(first, time + " " + others), Masked(second, time + " " + others)), 0);
}

}  // namespace
