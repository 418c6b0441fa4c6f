// The window notices of WSAAsyncSelect between two sockets of the test on
// 127.0.0.1: their order, their re-enabling and their end.
#include <gtest/gtest.h>

#include <string>

#include "NoticeWindow.h"
#include "twlwin/testing_net.h"

using namespace winsocktest;

namespace {

constexpr LONG kAll = FD_READ | FD_WRITE | FD_ACCEPT | FD_CONNECT | FD_CLOSE;

struct Notice {
  SOCKET socket;
  WORD event;
  WORD error;
  bool operator==(const Notice&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Notice& n) {
  return out << "{socket " << n.socket << " event " << n.event << " error " << n.error << "}";
}

class WinsockNotices : public testing::Test {
 protected:
  void SetUp() override {
    WSADATA data;
    ASSERT_EQ(0, WSAStartup(MAKEWORD(1, 1), &data));
    listener = ListenOnLoopback(&port);
    ASSERT_NE(INVALID_SOCKET, listener);
  }
  void TearDown() override {
    closesocket(listener);
    EXPECT_EQ(0u, TwlTestOpenSocketCount());
    EXPECT_EQ(0u, TwlTestPollerRegistrationCount());
  }

  std::optional<Notice> NextNotice(DWORD ms = 5000) {
    for (;;) {
      auto msg = window.Next(ms);
      if (!msg) return std::nullopt;
      if (msg->message == kNotice)
        return Notice{msg->wParam, WSAGETSELECTEVENT(msg->lParam), WSAGETSELECTERROR(msg->lParam)};
    }
  }

  // A selected client connected to the listener, and the accepted end
  // (blocking, not selected). The connect and first write notices are
  // taken.
  void Connect() {
    client = socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_EQ(0, WSAAsyncSelect(client, window.Handle(), kNotice, kAll));
    SOCKADDR_IN address = Loopback(port);
    ASSERT_EQ(SOCKET_ERROR, connect(client, reinterpret_cast<SOCKADDR*>(&address), sizeof address));
    ASSERT_EQ(WSAEWOULDBLOCK, WSAGetLastError());
    EXPECT_EQ((Notice{client, FD_CONNECT, 0}), NextNotice());
    EXPECT_EQ((Notice{client, FD_WRITE, 0}), NextNotice());
    accepted = accept(listener, nullptr, nullptr);
    ASSERT_NE(INVALID_SOCKET, accepted);
  }

  NoticeWindow window;
  SOCKET listener = INVALID_SOCKET;
  SOCKET client = INVALID_SOCKET;
  SOCKET accepted = INVALID_SOCKET;
  USHORT port = 0;
};

TEST_F(WinsockNotices, ReadComesAgainWhileDataIsLeftAndCloseComesAfterTheData) {
  Connect();
  ASSERT_EQ(5, send(accepted, "hello", 5, 0));
  ASSERT_EQ((Notice{client, FD_READ, 0}), NextNotice());
  char buffer[8] = {};
  ASSERT_EQ(2, recv(client, buffer, 2, MSG_PEEK));
  EXPECT_EQ((Notice{client, FD_READ, 0}), NextNotice()) << "a peek leaves the data: read again";
  ASSERT_EQ(2, recv(client, buffer, 2, 0));
  EXPECT_EQ((Notice{client, FD_READ, 0}), NextNotice()) << "three bytes left";
  ASSERT_EQ(3, recv(client, buffer, sizeof buffer, 0));
  EXPECT_EQ("llo", std::string(buffer, 3));
  EXPECT_TRUE(window.Quiet(100)) << "nothing left, no notice";

  ASSERT_EQ(3, send(accepted, "end", 3, 0));
  ASSERT_EQ(0, closesocket(accepted));
  EXPECT_EQ((Notice{client, FD_READ, 0}), NextNotice());
  EXPECT_EQ((Notice{client, FD_CLOSE, 0}), NextNotice());
  EXPECT_EQ(3, recv(client, buffer, sizeof buffer, 0)) << "the data before the close is still there";
  EXPECT_EQ(0, recv(client, buffer, sizeof buffer, 0));
  EXPECT_TRUE(window.Quiet(100)) << "the close comes once";
  closesocket(client);
}

TEST_F(WinsockNotices, AcceptComesAgainAfterEachAccept) {
  ASSERT_EQ(0, WSAAsyncSelect(listener, window.Handle(), kNotice, kAll));
  SOCKET first = socket(AF_INET, SOCK_STREAM, 0), second = socket(AF_INET, SOCK_STREAM, 0);
  SOCKADDR_IN address = Loopback(port);
  ASSERT_EQ(0, connect(first, reinterpret_cast<SOCKADDR*>(&address), sizeof address));
  ASSERT_EQ(0, connect(second, reinterpret_cast<SOCKADDR*>(&address), sizeof address));
  EXPECT_EQ((Notice{listener, FD_ACCEPT, 0}), NextNotice());
  SOCKADDR_IN peer{};
  int length = sizeof peer;
  SOCKET one = accept(listener, reinterpret_cast<SOCKADDR*>(&peer), &length);
  ASSERT_NE(INVALID_SOCKET, one);
  EXPECT_EQ(16, length);
  EXPECT_EQ(inet_addr("127.0.0.1"), peer.sin_addr.S_un.S_addr);
  EXPECT_EQ((Notice{listener, FD_ACCEPT, 0}), NextNotice()) << "a second connection waits";
  SOCKET two = accept(listener, nullptr, nullptr);
  ASSERT_NE(INVALID_SOCKET, two);
  EXPECT_TRUE(window.Quiet(100));
  EXPECT_EQ(INVALID_SOCKET, accept(listener, nullptr, nullptr));
  EXPECT_EQ(WSAEWOULDBLOCK, WSAGetLastError()) << "a selected socket does not block";
  for (SOCKET s : {first, second, one, two}) closesocket(s);
}

TEST_F(WinsockNotices, WriteComesAfterABlockedSendOnceSpaceFrees) {
  Connect();
  std::string chunk(65536, 'x');
  size_t sent = 0;
  for (int i = 0; i < 10000; ++i) {
    const int n = send(client, chunk.data(), static_cast<int>(chunk.size()), 0);
    if (n == SOCKET_ERROR) break;
    sent += static_cast<size_t>(n);
  }
  ASSERT_EQ(WSAEWOULDBLOCK, WSAGetLastError());
  EXPECT_TRUE(window.Quiet(100)) << "no room yet";
  char buffer[65536];
  size_t received = 0;
  while (received < sent) {
    const int n = recv(accepted, buffer, sizeof buffer, 0);
    ASSERT_GT(n, 0);
    received += static_cast<size_t>(n);
  }
  EXPECT_EQ((Notice{client, FD_WRITE, 0}), NextNotice());
  closesocket(client);
  closesocket(accepted);
}

TEST_F(WinsockNotices, NoNoticesAfterMaskZeroOrClose) {
  Connect();
  ASSERT_EQ(0, WSAAsyncSelect(client, window.Handle(), 0, 0));
  EXPECT_EQ(0u, TwlTestPollerRegistrationCount());
  ASSERT_EQ(4, send(accepted, "data", 4, 0));
  EXPECT_TRUE(window.Quiet(100)) << "mask 0";
  ASSERT_EQ(0, closesocket(client));
  EXPECT_EQ(SOCKET_ERROR, recv(client, nullptr, 0, 0));
  EXPECT_EQ(WSAENOTSOCK, WSAGetLastError()) << "a closed handle is no socket any more";

  // The next socket likely gets the same number: it hears only its own.
  SOCKET next = socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_EQ(0, WSAAsyncSelect(next, window.Handle(), kNotice, FD_CONNECT));
  ASSERT_EQ(0, closesocket(accepted));
  SOCKADDR_IN address = Loopback(port);
  ASSERT_EQ(SOCKET_ERROR, connect(next, reinterpret_cast<SOCKADDR*>(&address), sizeof address));
  ASSERT_EQ(WSAEWOULDBLOCK, WSAGetLastError());
  EXPECT_EQ((Notice{next, FD_CONNECT, 0}), NextNotice());
  EXPECT_TRUE(window.Quiet(100));
  SOCKET third = accept(listener, nullptr, nullptr);
  closesocket(third);
  closesocket(next);
}

TEST_F(WinsockNotices, RefusedConnectIsOneConnectNotice) {
  SOCKET probe = socket(AF_INET, SOCK_STREAM, 0);
  closesocket(listener);
  listener = socket(AF_INET, SOCK_STREAM, 0);  // the port is closed now
  ASSERT_EQ(0, WSAAsyncSelect(probe, window.Handle(), kNotice, kAll));
  SOCKADDR_IN address = Loopback(port);
  if (connect(probe, reinterpret_cast<SOCKADDR*>(&address), sizeof address) == SOCKET_ERROR &&
      WSAGetLastError() != WSAEWOULDBLOCK) {
    EXPECT_EQ(WSAECONNREFUSED, WSAGetLastError());
  } else {
    EXPECT_EQ((Notice{probe, FD_CONNECT, WSAECONNREFUSED}), NextNotice());
  }
  EXPECT_TRUE(window.Quiet(100)) << "no write or close after a failed connect";
  closesocket(probe);
}

TEST_F(WinsockNotices, SendToAGonePeerFailsWithoutSignal) {
  Connect();
  ASSERT_EQ(0, closesocket(accepted));
  std::string chunk(4096, 'y');
  int error = 0;
  for (int i = 0; i < 1000 && !error; ++i)
    if (send(client, chunk.data(), static_cast<int>(chunk.size()), 0) == SOCKET_ERROR &&
        WSAGetLastError() != WSAEWOULDBLOCK)
      error = WSAGetLastError();
  EXPECT_EQ(WSAECONNRESET, error) << "and the process is still here: no SIGPIPE";
  closesocket(client);
}

// A peer that greets as soon as it accepts: its bytes can arrive between the
// connect call and the layer's first look at the socket. The hook makes
// that happen every time; the read notice must still come.
TEST_F(WinsockNotices, DataSentBeforeConnectReturnsStillBringsRead) {
  struct Gap {
    SOCKET listener;
    SOCKET accepted = INVALID_SOCKET;
  } gap{listener};
  TwlTestSetConnectStartedHook(
      [](void* context) {
        auto* g = static_cast<Gap*>(context);
        g->accepted = accept(g->listener, nullptr, nullptr);
        if (g->accepted != INVALID_SOCKET) send(g->accepted, "220\r\n", 5, 0);
        Sleep(200);  // time for the poller to take the edges first
      },
      &gap);
  client = socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_EQ(0, WSAAsyncSelect(client, window.Handle(), kNotice, kAll));
  SOCKADDR_IN address = Loopback(port);
  connect(client, reinterpret_cast<SOCKADDR*>(&address), sizeof address);
  TwlTestSetConnectStartedHook(nullptr, nullptr);
  ASSERT_NE(INVALID_SOCKET, gap.accepted);
  bool read = false;
  while (auto notice = NextNotice()) {
    if (notice->event == FD_READ) {
      read = true;
      break;
    }
  }
  EXPECT_TRUE(read);
  closesocket(gap.accepted);
  closesocket(client);
}

}  // namespace
