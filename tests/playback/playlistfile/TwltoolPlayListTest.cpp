// twltool playlist: the printed form of files python3 builds, the errors,
// a written playlist read back, and how the write reaches the disk.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <string_view>

#include "support/TestPaths.h"

namespace {

struct ToolRun {
  int status;
  std::string out;
  std::string err;
};

ToolRun Tool(const std::string& arguments) {
  const std::string dir = twltest::MakeTempDir("playlisttool");
  ToolRun run{};
  const int status = twltest::RunCommand("'" + twltest::ProgramPath("twltool") + "' playlist " + arguments +
                                             " 2>'" + dir + "/err'",
                                         &run.out);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.err = twltest::ReadFile(dir + "/err");
  return run;
}

// Where the first line at or after `from` that holds every part starts;
// npos when there is none (or `from` is npos).
size_t LineWith(const std::string& text, size_t from, std::initializer_list<std::string> parts) {
  for (size_t line = from; line < text.size();) {
    const size_t end = std::min(text.find('\n', line), text.size());
    const std::string_view view(text.data() + line, end - line);
    bool all = true;
    for (const std::string& part : parts) all = all && view.find(part) != std::string_view::npos;
    if (all) return line;
    line = end + 1;
  }
  return std::string::npos;
}

class TwltoolPlayList : public ::testing::Test {
 protected:
  void SetUp() override {
    fixtures = twltest::MakeTempDir("fixtures");
    std::string output;
    const int status = twltest::RunCommand("python3 '" + twltest::SourceDir() +
                                               "/tests/playback/playlistfile/p4u_file.py' fixtures '" + fixtures + "'",
                                           &output);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << output;
  }
  std::string fixtures;
};

TEST_F(TwltoolPlayList, ReadPrintsTheHeaderAndEveryEntryOrFailsOnStderr) {
  const struct {
    const char* file;
    int status;
    const char* out;
    const char* err;  // a part of stderr
  } cases[] = {
      {"titled", 0, "header 1004b 10000 0 2 file:///l/list.p4u\nfile 100 file:///m/a.mp3\nfile 40 file:///m/b.mp3\n",
       ""},
      {"folders", 0,
       "header 1004b 10000 3 3 file:///l/list.p4u\nfolder 1 file:///m/Pending\nfolder 3 file:///m/Deep\n"
       "folder 0 file:///m/Plain\n",
       ""},
      {"writer-1.76-minimum-1.00", 0, "header 1004c 10000 0 1 file:///l/list.p4u\nfile 100 file:///m/a.mp3\n", ""},
      {"size-0xFFFFFFF0", 1, "", "stream error 14"},
      {"truncated-entry", 1, "", "stream error 14"},
      {"wrong-magic", 1, "", "PlayList Error: The file is not a valid playlist"},
      {"minimum-1.76", 1, "", "(this version: 1.75, minimum version required: 1.76"},
      {"does-not-exist", 1, "", "does-not-exist.p4u"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const ToolRun run = Tool("read '" + fixtures + "/" + c.file + ".p4u'");
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.out, c.out);
    EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
  }
  EXPECT_EQ(Tool("read").status, 1);
  EXPECT_EQ(Tool("rewrite x").status, 1);
}

TEST_F(TwltoolPlayList, AWrittenPlaylistReadsBackAsTheTextsWereAdded) {
  const std::string dir = twltest::MakeTempDir("written");
  const std::string out = dir + "/out.p4u";
  ASSERT_EQ(Tool("write '" + out + "' /m/Music/ /m/a.mp3 http://x/y.mp3 /l/a.m3u '/l/a.m3u<' ''").status, 0);
  const ToolRun run = Tool("read '" + out + "'");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "header 1004b 10000 0 5 file://" + out +
                         "\nfolder 0 file:///m/Music\nfile 100 file:///m/a.mp3\nfile 100 http://x/y.mp3\n"
                         "folder 0 playlist:///l/a.m3u\nfile 100 file:///l/a.m3u\n");

  const ToolRun failed = Tool("write '" + dir + "/missing/x.p4u' /m/b.mp3");
  EXPECT_EQ(failed.status, 1);
  EXPECT_NE(failed.err.find("missing/x.p4u"), std::string::npos) << failed.err;
}

// strace (a real peer) watches the save: the new file's data is flushed
// before it takes the playlist's name, and the folder after, both when the
// playlist is new and when it replaces an older one. (The leak check
// cannot run under a tracer.)
TEST_F(TwltoolPlayList, AWrittenPlaylistIsOnDiskBeforeAndAfterItTakesItsName) {
  const std::string dir = twltest::MakeTempDir("synced");
  const std::string out = dir + "/out.p4u";
  for (const char* round : {"new", "replacing"}) {
    SCOPED_TRACE(round);
    const std::string trace = dir + "/trace-" + round + ".txt";
    std::string output;
    const int status = twltest::RunCommand(
        "ASAN_OPTIONS=\"${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0\" strace -f -y -qq -e "
        "trace=fsync,fdatasync,rename,renameat,renameat2 -o '" +
            trace + "' '" + twltest::ProgramPath("twltool") + "' playlist write '" + out + "' /m/a.mp3 2>&1",
        &output);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << output;
    const std::string calls = twltest::ReadFile(trace);
    const size_t flushed = LineWith(calls, 0, {"sync(", "<" + out + ".0.tmp>) = 0"});
    const size_t renamed = LineWith(calls, flushed, {"rename", "\"" + out + ".0.tmp\", ", "\"" + out + "\"", ") = 0"});
    const size_t folder = LineWith(calls, renamed, {"sync(", "<" + dir + ">) = 0"});
    EXPECT_NE(folder, std::string::npos) << calls;
  }
}

}  // namespace
