// The Telnet socket against a python3 peer on 127.0.0.1: command bytes out
// of the data, refused options answered in order, lines across receives and
// block edges, and sends queued before the connection.
#include <string>
#include <vector>

#include "NetTestSupport.h"
#include "plugins/netvarra/sockets/TelnetSocket.h"
#include "support/LoopbackPeer.h"

namespace {

using nettest::Hex;

std::string Bytes(std::initializer_list<int> values) {
  std::string bytes;
  for (int v : values) bytes += static_cast<char>(v);
  return bytes;
}

std::string Counting(size_t count) {
  std::string bytes(count, '\0');
  for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<char>('a' + i % 26);
  return bytes;
}

struct Chunk {
  std::string bytes;
  long fifoAfter;  // bytes the FIFO holds once the chunk is in; -1: nothing to wait for
  int lineEvent;   // -1 not checked, 0 unset, 1 set once the chunk is in
};

struct TelnetCase {
  const char* name;
  std::string sentBeforeConnect;
  std::vector<Chunk> chunks;
  std::string fifo;     // what the FIFO holds at the end
  std::string answers;  // what the peer receives (before the test's marker)
  std::vector<std::string> lines;
};

class TelnetSocketTest : public nettest::NetTest {
 protected:
  static DWORD FifoSize(CTelnetSocket& socket) {
    CFifoBuffer& fifo = socket.LockFifo();
    const DWORD size = fifo.Peek(nullptr, 0xFFFFFFFF);
    socket.UnlockFifo();
    return size;
  }

  void Run(const TelnetCase& c) {
    SCOPED_TRACE(c.name);
    twltest::LoopbackPeer peer({"script"});
    ASSERT_NE(0, peer.Port());
    CTelnetSocket socket;
    HANDLE lineEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    socket.Create(AF_INET, SOCK_STREAM, 0);
    socket.SetLineEvent(lineEvent);
    socket.SetNotify(event, 1u << kSocketConnect);
    if (!c.sentBeforeConnect.empty()) {
      EXPECT_EQ(c.sentBeforeConnect.size(),
                socket.Send(c.sentBeforeConnect.data(), static_cast<DWORD>(c.sentBeforeConnect.size()), 0));
    }
    const SOCKADDR_IN address = nettest::LoopbackAddress(peer.Port());
    socket.Connect(reinterpret_cast<const SOCKADDR*>(&address), sizeof address);
    ASSERT_TRUE(nettest::Signalled(event)) << "connected";

    for (const Chunk& chunk : c.chunks) {
      ASSERT_EQ("sent", peer.Command("send " + Hex(chunk.bytes)));
      if (chunk.fifoAfter >= 0) {
        EXPECT_TRUE(nettest::Eventually([&] { return FifoSize(socket) >= static_cast<DWORD>(chunk.fifoAfter); }));
      }
      if (chunk.lineEvent >= 0) {
        EXPECT_EQ(chunk.lineEvent == 1, nettest::Signalled(lineEvent, 0));
      }
    }
    if (!c.answers.empty()) {
      EXPECT_EQ(Hex(c.answers), peer.Command("recv " + std::to_string(c.answers.size())));
    }
    // A marker sent now arrives next: nothing else was sent.
    socket.SendString("Z", 0);
    EXPECT_EQ("5a", peer.Command("recv 1"));

    for (const std::string& line : c.lines) {
      CStr text;
      ASSERT_TRUE(socket.HasLine());
      ASSERT_TRUE(socket.ReadLine(text, MSG_PEEK));
      ASSERT_TRUE(socket.ReadLine(text, 0));
      EXPECT_EQ(line, std::string(text.c_str(), text.GetLength()));
    }
    std::string rest(FifoSize(socket), '\0');
    rest.resize(socket.Receive(rest.data(), static_cast<DWORD>(rest.size()), 0));
    std::string expectedRest = c.fifo;
    for (const std::string& line : c.lines) expectedRest.erase(0, line.size() + 2);
    EXPECT_EQ(Hex(expectedRest), Hex(rest));
    socket.Close();
    CloseHandle(lineEvent);
  }
};

TEST_F(TelnetSocketTest, CommandsOptionsAndLines) {
  const std::string edge = Counting(16383) + "\r";
  const TelnetCase cases[] = {
      {"255 255 gives one 255 byte", "", {{"A" + Bytes({255, 255}) + "B", 3, -1}}, "A" + Bytes({255}) + "B", "", {}},
      {"DO 1 and WILL 3 are refused in order and leave nothing",
       "",
       {{Bytes({255, 253, 1, 255, 251, 3}), -1, -1}},
       "",
       Bytes({255, 252, 1, 255, 254, 3}),
       {}},
      {"NOP is dropped without an answer", "", {{Bytes({255, 241}) + "A", 1, -1}}, "A", "", {}},
      {"a command split across sends",
       "",
       {{"A" + Bytes({255}), 1, -1}, {Bytes({253}), -1, -1}, {Bytes({1}) + "B", 2, -1}},
       "AB",
       Bytes({255, 252, 1}),
       {}},
      {"CR and LF in two sends: the line event comes after the LF",
       "",
       {{"226 ok\r", 7, 0}, {"\n", 8, 1}},
       "226 ok\r\n",
       "",
       {"226 ok"}},
      {"CR LF across the block edge", "", {{edge, 16384, 0}, {"\nnext\r\n", 16384 + 7, 1}}, edge + "\nnext\r\n", "",
       {Counting(16383), "next"}},
      {"a send before the connect goes out at the first write notice", "USER anonymous\r\n", {}, "",
       "USER anonymous\r\n", {}},
  };
  for (const TelnetCase& c : cases) Run(c);
}

TEST_F(TelnetSocketTest, TwentyThousandBytesReadBackInOrderAndBlocksAreReused) {
  twltest::LoopbackPeer peer({"script"});
  ASSERT_NE(0, peer.Port());
  CTelnetSocket socket;
  socket.ConnectByName("peer.example", static_cast<USHORT>(peer.Port()));
  socket.SetNotify(event, 1u << kSocketConnect);
  ASSERT_TRUE(nettest::Signalled(event));
  const std::string bytes = Counting(20000);
  for (int round = 0; round < 2; ++round) {
    ASSERT_EQ("sent", peer.Command("send " + Hex(bytes)));
    ASSERT_TRUE(nettest::Eventually([&] { return FifoSize(socket) == 20000; }));
    CFifoBuffer& fifo = socket.LockFifo();
    EXPECT_EQ(2u, fifo.GetBlocksInUse());
    EXPECT_EQ(2u, fifo.GetBlocksAllocated()) << "round " << round << ": no third block";
    socket.UnlockFifo();
    std::string back(20000, '\0');
    EXPECT_EQ(20000u, socket.Receive(back.data(), 20000, 0));
    EXPECT_TRUE(back == bytes);
  }
  socket.Close();
}

}  // namespace
