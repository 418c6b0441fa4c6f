// Starts a user or another local program may make on purpose or by
// mistake: command lines that hold nothing valid, huge ones, a playlist
// that is a named pipe, a path of 100 KB. Every second start ends and
// reports what it could not do, and the running player keeps answering
// and ends in order at SIGTERM.
#include <signal.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ProgramFolder.h"
#include "support/TestPaths.h"

using programtest::Contains;
using programtest::NewProgramFolder;
using programtest::ReadText;
using programtest::StartUntilDone;
using programtest::Stop;
using programtest::WaitAtMost;

namespace {

std::vector<std::string> Repeated(const std::string& argument, int count) {
  return std::vector<std::string>(static_cast<size_t>(count), argument);
}

std::string SinkSetting(const std::string& folder) { return "TWL_SOUND_SINK=wav:" + folder + "/sink.wav"; }

size_t LineCount(const std::string& text) { return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')); }

}  // namespace

TEST(TwlHostileStarts, EachSecondStartEndsAndTheRunningPlayerStillAnswers) {
  const std::string folder = NewProgramFolder("hostile");
  programtest::InstallWavPlayer(folder);
  const std::string media = twltest::MakeTempDir("media");
  const std::string wav = media + "/tone.wav";
  programtest::WriteTone(wav, 1);
  const std::string later = media + "/later.wav";
  programtest::WriteTone(later, 1);
  const pid_t first = StartUntilDone(folder, 0, {}, {SinkSetting(folder)});

  std::vector<std::string> tenThousandAdds;
  for (int i = 0; i < 10000; ++i) {
    tenThousandAdds.push_back("-a");
    tenThousandAdds.push_back(wav);
  }
  const struct {
    const char* why;
    std::vector<std::string> args;
    bool faulty;  // its faults are told on stderr
  } lines[] = {
      {"empty quoted paths", {"-a", "", "-l", "\"\""}, true},
      {"an unterminated quote and 100 KB", {"-a", "\"" + std::string(100000, 'x')}, true},
      {"33,000 unknown switches", Repeated("-q", 33000), true},
      {"100,000 unknown letters in an add", {"-a" + std::string(100000, 'q'), media + "/none.wav"}, true},
      {"10,000 adds", tenThousandAdds, false},
      {"a path of 100 KB", {"-a", media + "/" + std::string(100000, 'y')}, false},
      {"a bare play", {"-p"}, false},
  };
  for (const auto& line : lines) {
    SCOPED_TRACE(line.why);
    const pid_t second = programtest::Start(folder, line.args);
    EXPECT_EQ(WaitAtMost(second, 10), 1) << "a second start that did not end in time answers -1";
    const std::string told = ReadText(folder + "/stderr.txt");
    EXPECT_EQ(Contains(told, "Invalid command line argument: "), line.faulty) << told.substr(0, 2000);
    EXPECT_LT(LineCount(told), 10u);
  }
  EXPECT_FALSE(Contains(ReadText(folder + "/Log1.txt"), "started")) << "no line made a further instance";

  EXPECT_EQ(WaitAtMost(programtest::Start(folder, {"-a", later}), 10), 1);
  // -n asks for a further instance, which runs until it is stopped.
  const pid_t further =
      StartUntilDone(folder, 1, {"-n", "-z", "-m", "-p", "-s", "-o", "-", "--", "-ag", "-i", "-l"});
  EXPECT_EQ(Stop(further), 0);

  EXPECT_EQ(Stop(first), 0);
  const std::string kept = ReadText(folder + "/LastPlayList.p4u");
  EXPECT_TRUE(Contains(kept, later)) << "the later -a reached the running player's playlist";
}

// A playlist from a named pipe nobody writes, and a bare path of 100 KB
// naming folders that do not exist: each is reported, and SIGTERM still
// ends the player through its ordered shut-down.
TEST(TwlHostileStarts, APipeAsPlaylistOrAHugePathIsReportedAndTheStopSignalStillEndsIt) {
  const std::string media = twltest::MakeTempDir("media");
  const std::string pipe = media + "/list.p4u";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  std::string deep = media;
  while (deep.size() < 100000) deep += "/folder";
  const struct {
    const char* why;
    std::vector<std::string> args;
    const char* logged;
  } cases[] = {
      {"-l with a named pipe", {"-l", pipe}, "is no file but a pipe or a device: it is not read."},
      {"a bare path of 100 KB", {deep + "/song.wav"}, "The file was not found."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    const std::string folder = NewProgramFolder("stuck");
    programtest::InstallWavPlayer(folder);
    const pid_t pid = StartUntilDone(folder, 0, c.args, {SinkSetting(folder)});
    EXPECT_TRUE(programtest::WaitForText(folder + "/Log.txt", c.logged)) << ReadText(folder + "/Log.txt").substr(0, 4000);
    EXPECT_EQ(Stop(pid), 0);
  }
}

TEST(TwlHostileStarts, AHundredThousandUnknownLettersMakeOneLogLine) {
  const std::string folder = NewProgramFolder("letters");
  const pid_t pid = StartUntilDone(folder, 0, {"-a" + std::string(100000, 'q'), "/nowhere/none.wav"});
  EXPECT_EQ(Stop(pid), 0);
  const std::string log = ReadText(folder + "/Log.txt");
  EXPECT_LT(LineCount(log), 100u);
  EXPECT_TRUE(Contains(log, "unknown switch 'q' in add statement - it will be ignored (100000 times)")) << log;
}

// Files given as arguments of their own, as a shell's pattern or a file
// manager gives them, play one after the other; their titles are long
// enough to scroll, the longer first, so the title line changes to a
// shorter scrolling text while it shows a later page of the first.
TEST(TwlSeveralFiles, EachArgumentIsAFileAndTheyPlayInTurn) {
  const std::string folder = NewProgramFolder("several");
  programtest::InstallWavPlayer(folder);
  const std::string media = twltest::MakeTempDir("media");
  const std::string first = media + "/The first tone of this test, with a name far too long for the title line of "
                                    "the main window, so that it scrolls page after page after page after page.wav";
  const std::string second = media + "/The second tone, shorter but still too long for the line.wav";
  programtest::WriteTone(first, 6);
  programtest::WriteTone(second, 1);
  const pid_t pid = programtest::Start(folder, {first, second}, {SinkSetting(folder)});
  const std::string log = folder + "/Log.txt";
  ASSERT_TRUE(programtest::WaitForText(log, "playing 'file://" + second + "'")) << ReadText(log);
  const std::string text = ReadText(log);
  EXPECT_LT(text.find("playing 'file://" + first + "'"), text.find("playing 'file://" + second + "'"));
  EXPECT_EQ(Stop(pid), 0);
}

TEST(TwlSeveralFiles, OneArgumentWithABlankIsOneFile) {
  const std::string folder = NewProgramFolder("blank");
  programtest::InstallWavPlayer(folder);
  const std::string wav = twltest::MakeTempDir("media") + "/a b.wav";
  programtest::WriteTone(wav, 1);
  const pid_t pid = programtest::Start(folder, {wav}, {SinkSetting(folder)});
  EXPECT_TRUE(programtest::WaitForText(folder + "/Log.txt", "playing 'file://" + wav + "'"));
  EXPECT_EQ(Stop(pid), 0);
  EXPECT_FALSE(Contains(ReadText(folder + "/Log.txt"), "Invalid command line argument"));
}
