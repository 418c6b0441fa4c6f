// URLs of a plug-in's scheme open wherever a file opens: twltool hostcat
// and proxy with the TestStreams fixtures loaded as the player loads its
// plug-ins.
#include <gtest/gtest.h>

#include <string>

#include "support/TestPaths.h"
#include "support/ToolRun.h"

namespace {

const std::string kPlugIns = TWL_TEST_STREAMS_DIR;

twltest::ToolRun HostCat(const std::string& arguments) {
  return twltest::RunTool("twltool", "hostcat --plugins '" + kPlugIns + "' " + arguments);
}

std::string RandomBytes(const std::string& path, int bytes) {
  EXPECT_EQ(twltest::RunCommand("head -c " + std::to_string(bytes) + " /dev/urandom > '" + path + "'"), 0);
  return twltest::ReadFile(path);
}

std::string OpenLine(const std::string& url, const char* flags, const std::string& proxy, const char* timeout) {
  return "TestStreams: open " + url + " flags " + flags + " proxy " + proxy + " timeout " + timeout + "\n";
}

TEST(TwltoolPlugInStreams, AServedFileReadsWholeAndSeeksBackAndForth) {
  const std::string path = twltest::MakeTempDir("served") + "/r.bin";
  const std::string bytes = RandomBytes(path, 10 * 1024 * 1024);
  const std::string url = "tstream://" + path;

  const twltest::ToolRun whole = HostCat("--chunk 4099 '" + url + "'");
  ASSERT_EQ(whole.exitCode, 0) << whole.err;
  EXPECT_TRUE(whole.out == bytes) << "the bytes differ";
  EXPECT_NE(whole.err.find("flags 0x0000000D length 10485760\n"), std::string::npos)
      << "read, seek and length known, both sharing bits clear: " << whole.err;
  EXPECT_NE(whole.err.find("-------- initializing stream provider --------\n"
                           "initializing 'Test stream provider'...done\n"
                           "initializing 'Test stream provider'...done\n"),
            std::string::npos)
      << whole.err;

  const twltest::ToolRun pieces =
      HostCat("--chunk 4099 --seek 9000000 --count 100000 --seek 12345 --count 50000 --seek 10485000 '" + url + "'");
  ASSERT_EQ(pieces.exitCode, 0) << pieces.err;
  EXPECT_TRUE(pieces.out == bytes.substr(9000000, 100000) + bytes.substr(12345, 50000) + bytes.substr(10485000))
      << "a piece differs";
}

TEST(TwltoolPlugInStreams, ProvidersExitBeforeThePlugInsUnloadLastFirst) {
  const std::string dir = twltest::MakeTempDir("order");
  const std::string path = dir + "/o.bin";
  twltest::WriteFile(path, "o");
  const std::string trace = dir + "/trace.txt";
  const twltest::ToolRun run = twltest::RunTool("twltool", "hostcat --plugins '" + kPlugIns + "' 'tstream://" + path + "'",
                                                "TWL_FIXTURE_TRACE='" + trace + "' ");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(twltest::ReadFile(trace),
            "TestStreams: provider exit\nTestStreams1: provider exit\nTestStreams1: plug-in exit\n"
            "TestStreams: plug-in exit\n");
}

TEST(TwltoolPlugInStreams, OpenFlagsReachThePlugInAsItsCallerSentThemWithOpenExistingAdded) {
  const std::string path = twltest::MakeTempDir("flags") + "/f.bin";
  twltest::WriteFile(path, "0123456789");
  const std::string url = "tstream://" + path;
  struct Row {
    const char* sent;
    const char* received;
  };
  for (const Row& row : {Row{"1", "0x00040001"}, Row{"0x300001", "0x00340001"}, Row{"0x100005", "0x00140005"}}) {
    SCOPED_TRACE(row.sent);
    const twltest::ToolRun run = HostCat(std::string("--flags ") + row.sent + " '" + url + "'");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "0123456789");
    EXPECT_NE(run.err.find(OpenLine(url, row.received, "- - -", "30000")), std::string::npos) << run.err;
  }
}

TEST(TwltoolPlugInStreams, ALostConnectionEndsTheReadWithItsErrorAfterTheBytesGiven) {
  const std::string path = twltest::MakeTempDir("lost") + "/x.fail";
  const std::string bytes = RandomBytes(path, 10000);
  const twltest::ToolRun run = HostCat("--chunk 4096 'tstream://" + path + "'");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(run.out == bytes.substr(0, 4096)) << run.out.size() << " bytes";
  EXPECT_TRUE(run.err.ends_with("twltool: The connection was lost.\n")) << run.err;
}

TEST(TwltoolPlugInStreams, WithoutThePlugInTheSchemeIsRefused) {
  const std::string path = twltest::MakeTempDir("none") + "/r.bin";
  twltest::WriteFile(path, "abc");
  const twltest::ToolRun run = twltest::RunTool("twltool", "hostcat 'tstream://" + path + "'");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, "twltool: The protocol is not supported. (file path: 'tstream://" + path + "')\n");
  EXPECT_EQ(run.out, "");
}

TEST(TwltoolPlugInStreams, TheUsersProxyAndTimeOutReachThePlugInThroughTheRegistry) {
  const std::string path = twltest::MakeTempDir("proxy") + "/p.bin";
  twltest::WriteFile(path, "p");
  const std::string url = "tstream://" + path;
  const twltest::ToolRun saved = twltest::RunTool(
      "twltool", "proxy --plugins '" + kPlugIns + "' --set tstream:TEST:proxy.example:-1 --save --get tstream");
  ASSERT_EQ(saved.exitCode, 0) << saved.err;
  EXPECT_NE(saved.out.find("tstream TEST proxy.example 3128 1\n"), std::string::npos)
      << "the provider's type is registered before the settings apply: " << saved.out;
  EXPECT_NE(saved.err.find("initializing 'Test stream provider'...done\n"), std::string::npos) << saved.err;

  const twltest::ToolRun run = HostCat("'" + url + "'");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.err.find(OpenLine(url, "0x00040001", "TEST proxy.example 3128", "30000")), std::string::npos)
      << run.err;

  ASSERT_EQ(twltest::RunTool("twltool", "timeout 12345").exitCode, 0);
  EXPECT_NE(HostCat("'" + url + "'").err.find(OpenLine(url, "0x00040001", "TEST proxy.example 3128", "12345")),
            std::string::npos);
}

TEST(TwltoolPlugInStreams, CommandLineRegistrationsFollowThePlugInsOwn) {
  const twltest::ToolRun run = twltest::RunTool(
      "twltool", "proxy --plugins '" + kPlugIns + "' --register tstream:OTHER:8080 --set tstream:OTHER:h:-1 --get tstream");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "tstream OTHER h 8080 1\n");
  const twltest::ToolRun unknown = twltest::RunTool("twltool", "proxy --set tstream:TEST:h:-1");
  EXPECT_EQ(unknown.exitCode, 1) << "without the plug-in nobody registered tstream";
}

}  // namespace
