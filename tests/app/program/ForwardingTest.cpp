// Several twl processes on one desktop: a start with commands hands them
// to the running instance and ends with 1; starts without commands, or
// with -n, run as further instances with their own logs.
#include <signal.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "ProgramFolder.h"
#include "support/TestPaths.h"

using programtest::Contains;
using programtest::NewProgramFolder;
using programtest::StartUntilDone;
using programtest::Stop;

namespace {

std::string MakeWav(const std::string& folder) {
  const std::string path = folder + "/x.wav";
  programtest::WriteTone(path, 1);
  return path;
}

}  // namespace

TEST(TwlForwarding, ASecondStartHandsItsCommandsToTheRunningInstance) {
  const std::string folder = NewProgramFolder("forward");
  programtest::InstallWavPlayer(folder);
  const std::string wav = MakeWav(twltest::MakeTempDir("media"));
  const pid_t first = StartUntilDone(folder, 0, {}, {"TWL_SOUND_SINK=wav:" + folder + "/sink.wav"});
  const std::string before = programtest::ReadText(folder + "/Log.txt");
  EXPECT_TRUE(Contains(before, "loading last playlist...")) << before;

  EXPECT_EQ(programtest::Wait(programtest::Start(folder, {"-a", wav, "-p"})), 1);
  EXPECT_TRUE(programtest::WaitForText(folder + "/Log.txt", "playing 'file://" + wav + "'"))
      << programtest::ReadText(folder + "/Log.txt");
  EXPECT_FALSE(std::filesystem::exists(folder + "/Log1.txt")) << "the second start wrote no log";

  EXPECT_EQ(Stop(first), 0);
  EXPECT_TRUE(Contains(programtest::ReadText(folder + "/LastPlayList.p4u"), wav))
      << "the last playlist names the file";
}

// A start that adds files does not load the last playlist on top.
TEST(TwlForwarding, FilesOfTheCommandLineKeepTheLastPlayListUnread) {
  const std::string folder = NewProgramFolder("ownfiles");
  const std::string wav = MakeWav(twltest::MakeTempDir("media"));
  const pid_t pid = StartUntilDone(folder, 0, {wav});
  const std::string log = programtest::ReadText(folder + "/Log.txt");
  EXPECT_FALSE(Contains(log, "loading last playlist")) << log;
  EXPECT_EQ(Stop(pid), 0);
  EXPECT_TRUE(Contains(programtest::ReadText(folder + "/LastPlayList.p4u"), wav));
}

TEST(TwlInstances, NewInstancesTakeTheNumberAfterTheHighest) {
  const std::string folder = NewProgramFolder("instances");
  const pid_t zero = StartUntilDone(folder, 0, {});
  const pid_t one = StartUntilDone(folder, 1, {"-n", "-z", "-q"});
  const std::string log1 = programtest::ReadText(folder + "/Log1.txt");
  EXPECT_TRUE(Contains(log1, "started (instance 1)")) << log1;
  EXPECT_TRUE(Contains(log1, "Invalid command line argument: unknown command: -q\r\n")) << log1;
  EXPECT_TRUE(Contains(log1, "PERFORMANCE: load plugins = ")) << log1;
  EXPECT_TRUE(Contains(log1, "PERFORMANCE: complete start initialization = ")) << log1;
  EXPECT_FALSE(Contains(programtest::ReadText(folder + "/Log.txt"), "PERFORMANCE")) << "-z is per start";

  const pid_t two = StartUntilDone(folder, 2, {});
  EXPECT_EQ(Stop(one), 0);
  const pid_t three = StartUntilDone(folder, 3, {});
  EXPECT_TRUE(Contains(programtest::ReadText(folder + "/Log3.txt"), "started (instance 3)"));
  for (pid_t pid : {zero, two, three}) EXPECT_EQ(Stop(pid), 0);
}
