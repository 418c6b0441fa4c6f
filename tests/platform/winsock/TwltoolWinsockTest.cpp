// `twltool winsock` against python3 peers on 127.0.0.1, and what the
// platform library exports.
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <string>

#include "NoticeWindow.h"
#include "support/LoopbackPeer.h"
#include "support/TestPaths.h"

namespace {

std::string Twltool(const std::string& arguments, int* status = nullptr) {
  std::string output;
  const int rc = twltest::RunCommand(twltest::ProgramPath("twltool") + " winsock " + arguments, &output);
  if (status) *status = rc;
  return output;
}

bool HasLine(const std::string& text, const std::string& line) {
  std::istringstream lines(text);
  for (std::string l; std::getline(lines, l);)
    if (l == line) return true;
  return false;
}

TEST(TwltoolWinsock, ExportsTheWinsockNamesButNoneOfTheCLibrarys) {
  std::string symbols;
  ASSERT_EQ(0, twltest::RunCommand("nm -D --defined-only " + twltest::ProgramPath("libtwlwin.so"), &symbols));
  std::set<std::string> names;
  std::istringstream lines(symbols);
  for (std::string line; std::getline(lines, line);) names.insert(line.substr(line.rfind(' ') + 1));
  for (const char* name : {"WSAStartup", "WSAAsyncSelect", "WSAAsyncGetHostByName", "WSAAsyncGetHostByAddr",
                           "WSACancelAsyncRequest", "WSAGetLastError", "closesocket"})
    EXPECT_TRUE(names.count(name)) << name;
  for (const char* name : {"socket", "connect", "bind", "listen", "accept", "recv", "send", "shutdown", "getsockname",
                           "gethostbyname", "gethostbyaddr", "gethostname", "inet_addr", "htons", "htonl", "ntohs",
                           "ntohl", "select"})
    EXPECT_FALSE(names.count(name)) << name;
}

TEST(TwltoolWinsock, ClosedPortIsRefused) {
  WSADATA data;
  ASSERT_EQ(0, WSAStartup(MAKEWORD(1, 1), &data));
  USHORT port = 0;
  SOCKET probe = winsocktest::ListenOnLoopback(&port);
  closesocket(probe);
  const std::string output = Twltool("connect --seconds 5 127.0.0.1 " + std::to_string(port));
  EXPECT_EQ("connect 10061\nsent 0\nreceived 0\n", output);
}

TEST(TwltoolWinsock, EightMebibytesBothWaysWithALatePeer) {
  const std::string dir = twltest::MakeTempDir("winsock");
  std::string payload(8 << 20, '\0');
  std::mt19937 random(82);
  for (char& c : payload) c = static_cast<char>(random());
  twltest::WriteFile(dir + "/payload", payload);
  twltest::LoopbackPeer peer({"echo-late", "1000", dir + "/peer-copy"});
  ASSERT_NE(0, peer.Port());
  int status = 0;
  const std::string output = Twltool("connect --send " + dir + "/payload --out " + dir + "/back --seconds 30 127.0.0.1 " +
                                         std::to_string(peer.Port()),
                                     &status);
  EXPECT_EQ(0, status);
  EXPECT_EQ(0, peer.Wait());
  EXPECT_TRUE(output.rfind("connect 0\nwrite 0\n", 0) == 0) << output;
  EXPECT_TRUE(HasLine(output, "close 0")) << output;
  const std::string last = "close 0\nsent 8388608\nreceived 8388608\n";
  EXPECT_TRUE(output.size() >= last.size() && output.substr(output.size() - last.size()) == last) << output;
  EXPECT_EQ(0, twltest::RunCommand("cmp -s " + dir + "/payload " + dir + "/peer-copy")) << "what the peer got";
  EXPECT_EQ(0, twltest::RunCommand("cmp -s " + dir + "/payload " + dir + "/back")) << "what came back";
}

TEST(TwltoolWinsock, ResetByThePeerIs10054) {
  twltest::LoopbackPeer peer({"reset"});
  ASSERT_NE(0, peer.Port());
  const std::string output = Twltool("connect --seconds 10 127.0.0.1 " + std::to_string(peer.Port()));
  EXPECT_TRUE(output.find(" 10054\n") != std::string::npos) << output;
  EXPECT_TRUE(HasLine(output, "received 0")) << output;
}

TEST(TwltoolWinsock, LookupByNameAndByAddress) {
  int status = -1;
  EXPECT_EQ("lookup 0 127.0.0.1\n", Twltool("lookup localhost", &status));
  EXPECT_EQ(0, status);
  EXPECT_EQ("lookup 0 127.0.0.1\n", Twltool("lookup 127.0.0.1", &status));
  EXPECT_EQ(0, status);
}

}  // namespace
