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
using programtest::kDone;
using programtest::NewProgramFolder;

namespace {


std::string LogName(const std::string& folder, int instance) {
  return instance == 0 ? folder + "/Log.txt" : folder + "/Log" + std::to_string(instance) + ".txt";
}

// Starts twl and waits until its start is done.
pid_t StartInstance(const std::string& folder, int instance, const std::vector<std::string>& args,
                    const std::vector<std::string>& environment = {}) {
  const pid_t pid = programtest::Start(folder, args, environment);
  EXPECT_TRUE(programtest::WaitForText(LogName(folder, instance), kDone))
      << "instance " << instance << "\n"
      << programtest::ReadText(folder + "/stderr.txt");
  return pid;
}

int Stop(pid_t pid) {
  kill(pid, SIGTERM);
  return programtest::Wait(pid);
}

// One second of a 440 Hz tone, 8 kHz, 16-bit mono.
std::string MakeWav(const std::string& folder) {
  const std::string path = folder + "/x.wav";
  const std::string script = folder + "/wav.py";
  twltest::WriteFile(script,
                     "import math, struct, sys, wave\n"
                     "w = wave.open(sys.argv[1], 'wb')\n"
                     "w.setnchannels(1); w.setsampwidth(2); w.setframerate(8000)\n"
                     "w.writeframes(b''.join(struct.pack('<h', int(8000 * math.sin(i * 0.345))) for i in range(8000)))\n"
                     "w.close()\n");
  EXPECT_EQ(twltest::RunCommand("python3 " + script + " " + path), 0);
  return path;
}

}  // namespace

TEST(TwlForwarding, ASecondStartHandsItsCommandsToTheRunningInstance) {
  const std::string folder = NewProgramFolder("forward");
  std::filesystem::copy_file(std::string(TWL_WAV_PLAYER_DIR) + "/TestWavPlayer.dll",
                             folder + "/PlugIns/TestWavPlayer.dll");
  const std::string wav = MakeWav(twltest::MakeTempDir("media"));
  const pid_t first = StartInstance(folder, 0, {}, {"TWL_SOUND_SINK=wav:" + folder + "/sink.wav"});
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
  const pid_t pid = StartInstance(folder, 0, {wav});
  const std::string log = programtest::ReadText(folder + "/Log.txt");
  EXPECT_FALSE(Contains(log, "loading last playlist")) << log;
  EXPECT_EQ(Stop(pid), 0);
  EXPECT_TRUE(Contains(programtest::ReadText(folder + "/LastPlayList.p4u"), wav));
}

TEST(TwlInstances, NewInstancesTakeTheNumberAfterTheHighest) {
  const std::string folder = NewProgramFolder("instances");
  const pid_t zero = StartInstance(folder, 0, {});
  const pid_t one = StartInstance(folder, 1, {"-n", "-z", "-q"});
  const std::string log1 = programtest::ReadText(folder + "/Log1.txt");
  EXPECT_TRUE(Contains(log1, "started (instance 1)")) << log1;
  EXPECT_TRUE(Contains(log1, "Invalid command line argument: unknown command: -q\r\n")) << log1;
  EXPECT_TRUE(Contains(log1, "PERFORMANCE: load plugins = ")) << log1;
  EXPECT_TRUE(Contains(log1, "PERFORMANCE: complete start initialization = ")) << log1;
  EXPECT_FALSE(Contains(programtest::ReadText(folder + "/Log.txt"), "PERFORMANCE")) << "-z is per start";

  const pid_t two = StartInstance(folder, 2, {});
  EXPECT_EQ(Stop(one), 0);
  const pid_t three = StartInstance(folder, 3, {});
  EXPECT_TRUE(Contains(programtest::ReadText(folder + "/Log3.txt"), "started (instance 3)"));
  for (pid_t pid : {zero, two, three}) EXPECT_EQ(Stop(pid), 0);
}
