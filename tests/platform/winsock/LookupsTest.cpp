// Host lookups of the sockets layer, answered from the testing table, and
// the calls' answers before start-up and for handles that are no sockets.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "NoticeWindow.h"
#include "twlwin/testing_net.h"

using namespace winsocktest;

namespace {

class WinsockLookups : public testing::Test {
 protected:
  void SetUp() override {
    WSADATA data;
    ASSERT_EQ(0, WSAStartup(MAKEWORD(1, 1), &data));
    EXPECT_EQ(MAKEWORD(1, 1), data.wVersion);
    TwlTestSetHostAnswer("media.example", "192.0.2.7,192.0.2.8", 0, 0);
    TwlTestSetHostAnswer("missing.example", nullptr, WSAHOST_NOT_FOUND, 0);
    TwlTestSetHostAnswer("slow.example", "192.0.2.9", 0, 60000);
  }
  void TearDown() override {
    for (int i = 0; i < 5000 && TwlTestLookupThreadCount(); ++i) Sleep(1);
    EXPECT_EQ(0u, TwlTestLookupThreadCount());
  }

  // The reply to `request`: its lParam.
  std::optional<LPARAM> Reply(HANDLE request, DWORD ms = 5000) {
    for (;;) {
      auto msg = window.Next(ms);
      if (!msg) return std::nullopt;
      if (msg->message == kReply && reinterpret_cast<HANDLE>(msg->wParam) == request) return msg->lParam;
    }
  }

  static std::string Dotted(const char* address) {
    const auto* b = reinterpret_cast<const unsigned char*>(address);
    return std::to_string(b[0]) + "." + std::to_string(b[1]) + "." + std::to_string(b[2]) + "." + std::to_string(b[3]);
  }

  NoticeWindow window;
  alignas(HOSTENT) char buffer[MAXGETHOSTSTRUCT] = {};
};

TEST_F(WinsockLookups, ByNameWritesTheEntryIntoTheBuffer) {
  HANDLE request = WSAAsyncGetHostByName(window.Handle(), kReply, "MEDIA.example", buffer, sizeof buffer);
  ASSERT_NE(nullptr, request);
  auto reply = Reply(request);
  ASSERT_TRUE(reply);
  EXPECT_EQ(0, WSAGETASYNCERROR(*reply));
  EXPECT_GT(WSAGETASYNCBUFLEN(*reply), sizeof(HOSTENT));
  const auto* entry = reinterpret_cast<const HOSTENT*>(buffer);
  EXPECT_EQ(AF_INET, entry->h_addrtype);
  EXPECT_EQ(4, entry->h_length);
  EXPECT_STREQ("MEDIA.example", entry->h_name);
  EXPECT_EQ(nullptr, entry->h_aliases[0]);
  EXPECT_EQ("192.0.2.7", Dotted(entry->h_addr_list[0]));
  EXPECT_EQ("192.0.2.8", Dotted(entry->h_addr_list[1]));
  EXPECT_EQ(nullptr, entry->h_addr_list[2]);
  EXPECT_EQ(DWORD{TWL_LOOKUP_BY_NAME}, TwlTestLastLookupKind());
}

TEST_F(WinsockLookups, FailuresAndShortBuffersComeInTheReply) {
  struct {
    const char* why;
    const char* name;
    int length;
    int error;
  } cases[] = {
      {"a name the table lacks", "other.example", sizeof buffer, WSAHOST_NOT_FOUND},
      {"a failure the table gives", "missing.example", sizeof buffer, WSAHOST_NOT_FOUND},
      {"a buffer too small for the entry", "media.example", 20, WSAENOBUFS},
  };
  for (const auto& c : cases) {
    std::memset(buffer, 0x5A, sizeof buffer);
    HANDLE request = WSAAsyncGetHostByName(window.Handle(), kReply, c.name, buffer, c.length);
    auto reply = Reply(request);
    ASSERT_TRUE(reply) << c.why;
    EXPECT_EQ(c.error, WSAGETASYNCERROR(*reply)) << c.why;
    EXPECT_EQ(0x5A, static_cast<unsigned char>(buffer[0])) << c.why << ": nothing written";
    if (c.error == WSAENOBUFS) {
      EXPECT_GT(WSAGETASYNCBUFLEN(*reply), 20) << "the length the entry needs";
    }
  }
}

TEST_F(WinsockLookups, ByAddressAnswersTheAddressWithoutAskingByName) {
  const ULONG address = inet_addr("127.0.0.1");
  HANDLE request = WSAAsyncGetHostByAddr(window.Handle(), kReply, reinterpret_cast<const char*>(&address), 4, AF_INET,
                                         buffer, sizeof buffer);
  auto reply = Reply(request);
  ASSERT_TRUE(reply);
  EXPECT_EQ(0, WSAGETASYNCERROR(*reply));
  const auto* entry = reinterpret_cast<const HOSTENT*>(buffer);
  EXPECT_STREQ("127.0.0.1", entry->h_name);
  EXPECT_EQ("127.0.0.1", Dotted(entry->h_addr_list[0]));
  EXPECT_EQ(DWORD{TWL_LOOKUP_BY_ADDRESS}, TwlTestLastLookupKind());
  EXPECT_EQ(nullptr, WSAAsyncGetHostByAddr(window.Handle(), kReply, reinterpret_cast<const char*>(&address), 4, 23,
                                           buffer, sizeof buffer));
  EXPECT_EQ(WSAEAFNOSUPPORT, WSAGetLastError());
}

TEST_F(WinsockLookups, NoReplyAfterACancelReturnedZero) {
  std::memset(buffer, 0x5A, sizeof buffer);
  HANDLE request = WSAAsyncGetHostByName(window.Handle(), kReply, "slow.example", buffer, sizeof buffer);
  ASSERT_NE(nullptr, request);
  EXPECT_EQ(1u, TwlTestLookupThreadCount());
  EXPECT_EQ(0, WSACancelAsyncRequest(request));
  for (int i = 0; i < 5000 && TwlTestLookupThreadCount(); ++i) Sleep(1);
  EXPECT_EQ(0u, TwlTestLookupThreadCount()) << "the waiting lookup stops";
  EXPECT_FALSE(Reply(request, 100));
  EXPECT_EQ(0x5A, static_cast<unsigned char>(buffer[0]));
  EXPECT_EQ(SOCKET_ERROR, WSACancelAsyncRequest(request));
  EXPECT_EQ(WSAEALREADY, WSAGetLastError());
}

TEST_F(WinsockLookups, BlockingCallsAnswerAlike) {
  HOSTENT* entry = gethostbyname("media.example");
  ASSERT_NE(nullptr, entry);
  EXPECT_EQ("192.0.2.7", Dotted(entry->h_addr_list[0]));
  EXPECT_EQ(nullptr, gethostbyname("missing.example"));
  EXPECT_EQ(WSAHOST_NOT_FOUND, WSAGetLastError());
  const ULONG address = inet_addr("10.1.2.3");
  entry = gethostbyaddr(reinterpret_cast<const char*>(&address), 4, AF_INET);
  ASSERT_NE(nullptr, entry);
  EXPECT_STREQ("10.1.2.3", entry->h_name);

  char name[256];
  ASSERT_EQ(0, gethostname(name, sizeof name));
  const int fits = static_cast<int>(std::strlen(name)) + 1;
  EXPECT_EQ(0, gethostname(name, fits));
  EXPECT_EQ(SOCKET_ERROR, gethostname(name, fits - 1)) << "no room for the terminating zero";
  EXPECT_EQ(WSAEFAULT, WSAGetLastError());
}

TEST(WinsockCalls, DottedAddressForms) {
  struct {
    const char* text;
    ULONG expected;  // host order, INADDR_NONE when refused
  } cases[] = {
      {"127.0.0.1", 0x7F000001},     {"10.0.258", 0x0A000102},   {"10.65535", 0x0A00FFFF},
      {"0x7f.1", 0x7F000001},        {"0177.0.0.1", 0x7F000001}, {"3232235777", 0xC0A80101},
      {"256.0.0.1", INADDR_NONE},    {"1.2.3.4.5", INADDR_NONE}, {"localhost", INADDR_NONE},
      {"", INADDR_NONE},             {"1.2.3.", INADDR_NONE},    {"08.1.1.1", INADDR_NONE},
      {"1.2.3.4 ", INADDR_NONE},     {"1.2.65536", INADDR_NONE},
  };
  for (const auto& c : cases) {
    const ULONG got = inet_addr(c.text);
    EXPECT_EQ(c.expected, got == INADDR_NONE ? INADDR_NONE : ntohl(got)) << '"' << c.text << '"';
  }
  EXPECT_EQ(0x3412, htons(0x1234));
  EXPECT_EQ(0x78563412u, htonl(0x12345678));
}

TEST(WinsockCalls, EverythingWaitsForStartUp) {
  EXPECT_EQ(INVALID_SOCKET, socket(AF_INET, SOCK_STREAM, 0));
  EXPECT_EQ(WSANOTINITIALISED, WSAGetLastError());
  EXPECT_EQ(nullptr, gethostbyname("localhost"));
  EXPECT_EQ(WSANOTINITIALISED, WSAGetLastError());
  WSADATA data;
  EXPECT_EQ(WSAVERNOTSUPPORTED, WSAStartup(MAKEWORD(0, 9), &data));
  EXPECT_EQ(0, WSAStartup(MAKEWORD(2, 2), &data));
  EXPECT_EQ(MAKEWORD(1, 1), data.wVersion);
}

TEST(WinsockCalls, OnlyTheLayersOwnSocketsAreSockets) {
  WSADATA data;
  ASSERT_EQ(0, WSAStartup(MAKEWORD(1, 1), &data));
  for (SOCKET s : {SOCKET{0}, SOCKET{1}, SOCKET{2}, SOCKET{12345}, INVALID_SOCKET}) {
    EXPECT_EQ(SOCKET_ERROR, closesocket(s)) << s;
    EXPECT_EQ(WSAENOTSOCK, WSAGetLastError()) << s;
  }
  EXPECT_EQ(SOCKET_ERROR, send(1, "x", 1, 0));
  EXPECT_EQ(WSAENOTSOCK, WSAGetLastError());
  EXPECT_EQ(INVALID_SOCKET, socket(AF_INET, 2, 0));
  EXPECT_EQ(WSAESOCKTNOSUPPORT, WSAGetLastError());
}

}  // namespace
