// CSimpleSocket and CBufferedSocket against python3 peers and each other on
// 127.0.0.1: the event record, the owner's event, failures as recorded
// codes or thrown socket errors.
#include <string>

#include "NetTestSupport.h"
#include "plugins/netvarra/sockets/BufferedSocket.h"
#include "plugins/netvarra/sockets/SocketError.h"
#include "support/LoopbackPeer.h"

namespace {

constexpr DWORD kRead = 1u << kSocketRead, kWrite = 1u << kSocketWrite, kAccept = 1u << kSocketAccept,
                kConnect = 1u << kSocketConnect, kClose = 1u << kSocketClose;

class SimpleSocketTest : public nettest::NetTest {
 protected:
  // Waits until the record holds all of `bits`, collecting them across
  // notifications; the record as last read.
  SocketEventRecord AwaitEvents(CSimpleSocket& socket, DWORD bits) {
    SocketEventRecord record{}, seen{};
    for (int i = 0; i < 100 && (seen.pending & bits) != bits; ++i) {
      if (!nettest::Signalled(event, 100)) continue;
      socket.GetEvents(&record, false);
      for (int index = 0; index < 6; ++index)
        if (record.pending & (1u << index)) seen.errors[index] = record.errors[index];
      seen.pending |= record.pending;
    }
    EXPECT_EQ(bits, seen.pending & bits);
    return seen;
  }
};

TEST_F(SimpleSocketTest, EventsReachTheRecordAndTheOwnersEvent) {
  twltest::LoopbackPeer peer({"script"});
  ASSERT_NE(0, peer.Port());
  CSimpleSocket socket;
  socket.ConnectByName("peer.example", static_cast<USHORT>(peer.Port()));
  socket.SetNotify(event, kRead | kWrite | kConnect | kClose);
  EXPECT_EQ(DWORD{TWL_LOOKUP_BY_NAME}, TwlTestLastLookupKind());
  SocketEventRecord record = AwaitEvents(socket, kConnect);
  EXPECT_EQ(0u, record.errors[kSocketConnect]);

  EXPECT_EQ(4u, socket.Send("ping", 4, 0));
  EXPECT_EQ("70696e67", peer.Command("recv 4"));
  ASSERT_EQ("sent", peer.Command("send 706f6e67"));
  AwaitEvents(socket, kRead);
  char buffer[8] = {};
  EXPECT_EQ(4u, socket.Receive(buffer, sizeof buffer, 0));
  EXPECT_EQ("pong", std::string(buffer, 4));
  EXPECT_EQ(0u, socket.Receive(buffer, sizeof buffer, 0)) << "nothing waits: 0, no error";

  // Kept events stay pending and keep the owner's event set.
  ASSERT_EQ("closed", peer.Command("close"));
  ASSERT_TRUE(nettest::Signalled(event));
  socket.GetEvents(&record, true);
  EXPECT_TRUE(record.pending & kClose);
  EXPECT_TRUE(nettest::Signalled(event, 0));
  socket.GetEvents(&record, false);
  EXPECT_TRUE(record.pending & kClose);
  EXPECT_EQ(0u, record.errors[kSocketClose]);
  EXPECT_FALSE(nettest::Signalled(event, 0)) << "read without keeping: the event is reset";
  socket.GetEvents(&record, false);
  EXPECT_EQ(0u, record.pending);
  EXPECT_EQ(0u, socket.Receive(buffer, sizeof buffer, 0));
  socket.Close();
  EXPECT_FALSE(socket.IsOpen());
}

TEST_F(SimpleSocketTest, FailuresOfTheConnection) {
  {
    // A reset by the peer is the close event's code.
    twltest::LoopbackPeer peer({"reset"});
    CSimpleSocket socket;
    socket.ConnectByName("127.0.0.1", static_cast<USHORT>(peer.Port()));
    socket.SetNotify(event, kClose);
    EXPECT_EQ(DWORD{TWL_LOOKUP_BY_ADDRESS}, TwlTestLastLookupKind());
    EXPECT_EQ(DWORD{WSAECONNRESET}, AwaitEvents(socket, kClose).errors[kSocketClose]);
  }
  {
    // A refused connect is the connect event's code (or thrown at once).
    CSimpleSocket probe;
    probe.Create(AF_INET, SOCK_STREAM, 0);
    const SOCKADDR_IN any = nettest::LoopbackAddress(0);
    probe.Bind(reinterpret_cast<const SOCKADDR*>(&any), sizeof any);
    SOCKADDR_IN bound{};
    int length = sizeof bound;
    getsockname(probe.GetHandle(), reinterpret_cast<SOCKADDR*>(&bound), &length);
    probe.Close();  // the port is closed now
    CSimpleSocket socket;
    socket.Create(AF_INET, SOCK_STREAM, 0);
    socket.SetNotify(event, kConnect);
    try {
      socket.Connect(reinterpret_cast<const SOCKADDR*>(&bound), sizeof bound);
      EXPECT_EQ(DWORD{WSAECONNREFUSED}, AwaitEvents(socket, kConnect).errors[kSocketConnect]);
    } catch (CError* error) {
      ASSERT_TRUE(IsKindOf<CSocketError>(error));
      EXPECT_EQ(WSAECONNREFUSED, static_cast<CSocketError*>(error)->GetCode());
      DisposeError(error);
    }
  }
  {
    // A name that cannot be found is thrown, and the socket stays closed.
    CSimpleSocket socket;
    try {
      socket.ConnectByName("fail.example", 21);
      ADD_FAILURE() << "no error";
    } catch (CError* error) {
      EXPECT_STREQ("Socket error", error->GetCaption().c_str());
      EXPECT_STREQ("Unable to resolve host name.", error->GetText().c_str());
      DisposeError(error);
    }
    EXPECT_FALSE(socket.IsOpen());
  }
}

TEST_F(SimpleSocketTest, ListenAcceptAndAttachBuffered) {
  CSimpleSocket listener;
  listener.Create(AF_INET, SOCK_STREAM, 0);
  const SOCKADDR_IN any = nettest::LoopbackAddress(0);
  listener.Bind(reinterpret_cast<const SOCKADDR*>(&any), sizeof any);
  listener.Listen(5);
  SOCKADDR_IN bound{};
  int length = sizeof bound;
  getsockname(listener.GetHandle(), reinterpret_cast<SOCKADDR*>(&bound), &length);
  listener.SetNotify(event, kAccept);

  CBufferedSocket client;
  HANDLE clientEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  client.Create(AF_INET, SOCK_STREAM, 0);
  client.SetNotify(clientEvent, kRead);
  EXPECT_EQ(5u, client.Send("hello", 5, 0)) << "queued before the connect";
  client.Connect(reinterpret_cast<const SOCKADDR*>(&bound), sizeof bound);
  AwaitEvents(listener, kAccept);
  SOCKET handle = INVALID_SOCKET;
  ASSERT_TRUE(listener.Accept(&handle, nullptr, nullptr));
  SOCKET none;
  EXPECT_FALSE(listener.Accept(&none, nullptr, nullptr)) << "nobody else waits";

  CBufferedSocket server;
  HANDLE serverEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  server.AttachBuffered(handle, CBufferedSocket::kBlockSize, true);
  server.SetNotify(serverEvent, kRead);
  char buffer[16] = {};
  ASSERT_TRUE(nettest::Eventually([&] { return server.Receive(buffer, 5, MSG_PEEK) == 5; }));
  EXPECT_EQ(2u, server.Discard(2));
  EXPECT_EQ(3u, server.Receive(buffer, sizeof buffer, 0));
  EXPECT_EQ("llo", std::string(buffer, 3));
  EXPECT_EQ(6u, server.Send("answer", 6, 0));
  ASSERT_TRUE(nettest::Signalled(clientEvent));
  ASSERT_TRUE(nettest::Eventually([&] { return client.Receive(buffer, 6, MSG_PEEK) == 6; }));
  EXPECT_EQ(6u, client.Receive(buffer, sizeof buffer, 0));
  EXPECT_EQ("answer", std::string(buffer, 6));
  server.Close();
  client.Close();
  listener.Close();
  CloseHandle(clientEvent);
  CloseHandle(serverEvent);
}

}  // namespace
