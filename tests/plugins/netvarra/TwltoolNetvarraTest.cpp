// Netvarra as the player loads it, through twltool hostcat --plugins:
// downloads equal curl's, the requests and proxy requests as servers read
// them, the stored time-out and proxies, and bad servers ending the
// command with their error and exit code 1.
#include <gtest/gtest.h>

#include <string>

#include "NetTestSupport.h"
#include "support/LoopbackPeer.h"
#include "support/TestPaths.h"
#include "support/ToolRun.h"

namespace {

const std::string kPlugIns = TWL_NETVARRA_DIR;

twltest::ToolRun HostCat(const std::string& arguments) {
  return twltest::RunTool("twltool", "hostcat --plugins '" + kPlugIns + "' " + arguments);
}

std::string Base(const twltest::LoopbackPeer& peer) { return "http://127.0.0.1:" + std::to_string(peer.Port()); }

TEST(TwltoolNetvarra, DownloadEqualsCurlsFetch) {
  const std::string folder = twltest::MakeTempDir("served");
  ASSERT_EQ(0, twltest::RunCommand("head -c 5242880 /dev/urandom > '" + folder + "/r.bin'"));
  twltest::LoopbackPeer server("http_peer.py", {"directory", folder});
  const std::string url = Base(server) + "/r.bin";
  const std::string ours = folder + "/ours.bin", curls = folder + "/curl.bin";
  ASSERT_EQ(0, twltest::RunCommand("curl -s -o '" + curls + "' '" + url + "'"));
  const twltest::ToolRun run = HostCat("--stats '" + url + "'");
  ASSERT_EQ(0, run.exitCode) << run.err;
  twltest::WriteFile(ours, run.out);
  EXPECT_EQ(0, twltest::RunCommand("cmp '" + ours + "' '" + curls + "'"));
  EXPECT_NE(std::string::npos, run.err.find("initializing 'Netvarra (HTTP and FTP)'...done\n")) << run.err;
  EXPECT_NE(std::string::npos, run.err.find("flags 0x00300401 length ")) << run.err;
  const size_t stats = run.err.rfind("read 5242880 bytes in ");
  ASSERT_NE(std::string::npos, stats) << run.err;
  EXPECT_TRUE(run.err.ends_with(" s\n")) << "the last line of stderr: " << run.err.substr(stats);
}

TEST(TwltoolNetvarra, RequestsReachServersAndStoredProxiesAsTheyShould) {
  const std::string folder = twltest::MakeTempDir("requests");
  twltest::WriteFile(folder + "/f", "abc");
  const std::string direct = folder + "/direct.txt", proxied = folder + "/proxy.txt";
  twltest::LoopbackPeer server("http_peer.py", {"--record", direct, "file", folder + "/f"});
  twltest::LoopbackPeer proxy("http_peer.py", {"--record", proxied, "file", folder + "/f"});
  const std::string host = "127.0.0.1:" + std::to_string(server.Port());
  for (const std::string& url : {Base(server) + "/a b", Base(server)}) {
    const twltest::ToolRun run = HostCat("'" + url + "'");
    EXPECT_EQ(0, run.exitCode) << run.err;
    EXPECT_EQ("abc", run.out);
  }
  EXPECT_EQ("GET /a%20b HTTP/1.1\r\nHost: " + host + "\r\n----\r\n" +
                "GET / HTTP/1.1\r\nHost: " + host + "\r\nAccept: */*\r\n----\r\n",
            twltest::ReadFile(direct))
      << "no User-Agent, no other field";

  const std::string port = std::to_string(proxy.Port());
  const twltest::ToolRun stored = twltest::RunTool(
      "twltool", "proxy --plugins '" + kPlugIns + "' --set http:HTTP:127.0.0.1:" + port +
                     " --set ftp:HTTP:127.0.0.1:" + port + " --save");
  ASSERT_EQ(0, stored.exitCode) << stored.err;
  for (const char* url : {"http://far.example/x", "ftp://files.example/pub/a.ogg"}) {
    const twltest::ToolRun run = HostCat(std::string("'") + url + "'");
    EXPECT_EQ(0, run.exitCode) << run.err;
    EXPECT_EQ("abc", run.out);
  }
  EXPECT_EQ(std::string("GET http://far.example/x HTTP/1.1\r\nAccept: */*\r\n----\r\n") +
                "GET ftp://files.example/pub/a.ogg HTTP/1.1\r\nAccept: */*\r\n----\r\n",
            twltest::ReadFile(proxied));
}

TEST(TwltoolNetvarra, BadServersEndTheCommandWithTheirError) {
  struct Row {
    const char* why;
    std::vector<std::string> server;
    std::string error;
  } rows[] = {
      {"HTTP/1.x", {"raw", nettest::Hex("HTTP/1.x 200 OK\r\n\r\n")}, "Corrupted response received."},
      {"an endless header", {"endless-header"}, "Corrupted response received."},
      {"HTTP/2.0", {"raw", nettest::Hex("HTTP/2.0 200 OK\r\n\r\n")}, "Unsupported HTTP version."},
      {"a chunk size of 2^64",
       {"raw", nettest::Hex("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n10000000000000000\r\n")},
       "Corrupted chunk header"},
      {"a redirect loop", {"redirect-loop"}, "Too many redirects."},
      {"a reset mid-body", {"reset-mid"}, "(10054) Connection reset by peer."},
      {"a close mid-body", {"close-mid"}, "The connection was lost."},
      {"404", {"raw", nettest::Hex("HTTP/1.1 404 Not Found\r\n\r\n")}, "The file was not found."},
      {"401", {"raw", nettest::Hex("HTTP/1.1 401 Unauthorized\r\n\r\n")}, "The access has been denied."},
      {"gzip", {"raw", nettest::Hex("HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip\r\n\r\n")},
       "Unknown transfer coding (gzip)"},
      {"a relative redirect", {"redirect-relative"}, "Invalid redirect URL."},
  };
  for (const Row& row : rows) {
    twltest::LoopbackPeer server("http_peer.py", row.server);
    const twltest::ToolRun run = HostCat("'" + Base(server) + "/x'");
    EXPECT_EQ(1, run.exitCode) << row.why;
    EXPECT_NE(std::string::npos, run.err.find("twltool: ")) << row.why;
    EXPECT_NE(std::string::npos, run.err.find(row.error)) << row.why << ": " << run.err;
  }
}

TEST(TwltoolNetvarra, TheStoredTimeOutEndsASilentServer) {
  ASSERT_EQ(0, twltest::RunTool("twltool", "timeout 2000").exitCode);
  twltest::LoopbackPeer server("http_peer.py", {"silent"});
  const twltest::ToolRun run = HostCat("'" + Base(server) + "/x'");
  EXPECT_EQ(1, run.exitCode);
  EXPECT_NE(std::string::npos, run.err.find("The connection timed out.")) << run.err;
}

TEST(TwltoolNetvarra, ChunkedReplyOfAKeptConnectionEndsAtItsLastChunk) {
  twltest::LoopbackPeer server("http_peer.py", {"chunked-keep"});
  const twltest::ToolRun run = HostCat("'" + Base(server) + "/x'");
  EXPECT_EQ(0, run.exitCode) << run.err;
  EXPECT_EQ("0123456789", run.out);
}

}  // namespace
