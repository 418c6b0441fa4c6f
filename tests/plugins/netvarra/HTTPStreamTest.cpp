// CHTTPStream against scripted python3 servers on 127.0.0.1: whole files,
// the requests as the server reads them, chunked replies from a server
// that keeps the connection, redirects, time-outs, shut-down, and every
// kind of bad server, each ending in a clear error.
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <thread>

#include "NetTestSupport.h"
#include "foundation/streams/StreamError.h"
#include "foundation/streams/StreamFlags.h"
#include "plugins/netvarra/http/HTTPStream.h"
#include "support/LoopbackPeer.h"

namespace {

constexpr DWORD kOpenFlags = kStreamRead | kStreamOpenExistingToo;

std::string ReadFileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string WriteRandomFile(const char* name, size_t size) {
  const std::string path = std::string(getenv("TMPDIR") ? getenv("TMPDIR") : "/tmp") + "/" + name;
  std::mt19937 random(7);
  std::string data(size, '\0');
  for (char& c : data) c = static_cast<char>(random());
  std::ofstream(path, std::ios::binary) << data;
  return path;
}

// What reading a whole stream gave: its bytes, or the error met.
struct Fetched {
  std::string data;
  std::string error;
  DWORD code = 0;
};

class HTTPStreamTest : public nettest::NetTest {
 protected:
  std::string Url(const twltest::LoopbackPeer& peer, const char* path = "/file") {
    return "http://127.0.0.1:" + std::to_string(peer.Port()) + path;
  }

  CStream* Open(const std::string& url, DWORD timeout = 30000, const char* proxy = nullptr, int proxyPort = -1) {
    CHTTPStreamProvider provider;
    return provider.OpenEx(url.c_str(), kOpenFlags, proxy, proxyPort, false, timeout);
  }

  Fetched ReadAll(CStream* stream) {
    Fetched fetched;
    if (!stream) {
      fetched.error = "not opened";
      return fetched;
    }
    try {
      std::unique_ptr<char[]> buffer(new char[65536]);
      for (;;) {
        const DWORD got = stream->Read(buffer.get(), 65536);
        fetched.data.append(buffer.get(), got);
        if (got < 65536) break;
      }
    } catch (CError* error) {
      fetched.error = error->GetText().c_str();
      if (IsKindOf<CStreamError>(error)) fetched.code = static_cast<CStreamError*>(error)->GetCode();
      DisposeError(error);
    }
    stream->CloseNoThrow();
    return fetched;
  }

  Fetched Fetch(const std::string& url, DWORD timeout = 30000) { return ReadAll(Open(url, timeout)); }
};

TEST_F(HTTPStreamTest, WholeFileWithItsLengthAndType) {
  const std::string path = WriteRandomFile("whole.bin", 3 * 1024 * 1024 + 17);
  twltest::LoopbackPeer peer("http_peer.py", {"file", path, "audio/ogg"});
  CStream* stream = Open(Url(peer));
  ASSERT_NE(nullptr, stream);
  CStr type;
  char first[4];
  ASSERT_EQ(4u, stream->Read(first, 4));
  EXPECT_EQ(0u, stream->GetContentType(type));
  EXPECT_EQ("audio/ogg", std::string(type.c_str()));
  EXPECT_EQ(LONGLONG{3 * 1024 * 1024 + 17}, stream->GetLength(true, nullptr));
  EXPECT_EQ(4, stream->GetPosition());
  EXPECT_EQ(kStreamRead | kStreamFlowing, stream->GetCapabilities());
  const Fetched rest = ReadAll(stream);
  EXPECT_EQ("", rest.error);
  EXPECT_TRUE(std::string(first, 4) + rest.data == ReadFileText(path)) << "the bytes equal the file";
}

TEST_F(HTTPStreamTest, RequestsAsTheServerReadsThem) {
  const std::string file = WriteRandomFile("small.bin", 100);
  const std::string record = std::string(getenv("TMPDIR")) + "/requests.txt";
  twltest::LoopbackPeer peer("http_peer.py", {"--record", record, "file", file});
  const std::string host = "127.0.0.1:" + std::to_string(peer.Port());
  EXPECT_EQ("", Fetch(Url(peer, "/a b")).error);
  EXPECT_EQ("", Fetch("http://" + host).error);
  // The same server as an HTTP proxy: the whole URL, Accept, no Host.
  EXPECT_EQ("", ReadAll(Open("http://far.example/x y", 30000, "127.0.0.1", peer.Port())).error);
  EXPECT_EQ("", ReadAll(Open("ftp://far.example/pub/f.ogg", 30000, "127.0.0.1", peer.Port())).error);
  EXPECT_EQ("GET /a%20b HTTP/1.1\r\nHost: " + host + "\r\n----\r\n" +
                "GET / HTTP/1.1\r\nHost: " + host + "\r\nAccept: */*\r\n----\r\n" +
                "GET http://far.example/x y HTTP/1.1\r\nAccept: */*\r\n----\r\n" +
                "GET ftp://far.example/pub/f.ogg HTTP/1.1\r\nAccept: */*\r\n----\r\n",
            ReadFileText(record));
}

TEST_F(HTTPStreamTest, ChunkedReplyEndsAtTheLastChunkOfAKeptConnection) {
  twltest::LoopbackPeer peer("http_peer.py", {"chunked-keep"});
  // Were the end the server's close, this would fail with a dead
  // connection only after the (long) time-out.
  CStream* stream = Open(Url(peer), 600000);
  ASSERT_NE(nullptr, stream);
  char buffer[64];
  EXPECT_EQ(10u, stream->Read(buffer, sizeof buffer));
  EXPECT_EQ("0123456789", std::string(buffer, 10));
  EXPECT_TRUE(stream->IsAtEnd());
  EXPECT_EQ(10, stream->GetLength(true, nullptr));
  stream->Close();
}

TEST_F(HTTPStreamTest, AcceptedReplies) {
  struct Row {
    const char* why;
    std::string reply;
    std::string body;
  } rows[] = {
      {"ICY is accepted", "ICY 200 OK\r\n\r\nstream", "stream"},
      {"CHUNKED in capitals", "HTTP/1.1 200 OK\r\nTransfer-Encoding: CHUNKED\r\n\r\n5\r\nhello\r\n0\r\n\r\n", "hello"},
      {"no length: the body ends at the close", "HTTP/1.0 200 OK\r\n\r\nuntil close", "until close"},
      {"a length of 0", "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n", ""},
  };
  for (const Row& row : rows) {
    twltest::LoopbackPeer peer("http_peer.py", {"raw", nettest::Hex(row.reply)});
    const Fetched fetched = Fetch(Url(peer));
    EXPECT_EQ("", fetched.error) << row.why;
    EXPECT_EQ(row.body, fetched.data) << row.why;
  }
}

TEST_F(HTTPStreamTest, AbsoluteRedirectIsFollowedAndTheUrlStays) {
  const std::string file = WriteRandomFile("moved.bin", 5000);
  twltest::LoopbackPeer peer("http_peer.py", {"redirect", file});
  CStream* stream = Open(Url(peer, "/first"));
  ASSERT_NE(nullptr, stream);
  char buffer[8];
  ASSERT_EQ(8u, stream->Read(buffer, 8));
  CStr url;
  EXPECT_EQ(Url(peer, "/first"), std::string(stream->GetURL(url).c_str()));
  const Fetched rest = ReadAll(stream);
  EXPECT_EQ("", rest.error);
  EXPECT_TRUE(std::string(buffer, 8) + rest.data == ReadFileText(file)) << "the redirect's own body is dropped";
}

TEST_F(HTTPStreamTest, BadServersGiveClearErrors) {
  struct Row {
    const char* why;
    std::vector<std::string> server;
    std::string error;
    DWORD timeout;
  } rows[] = {
      {"a version that is not a number", {"raw", nettest::Hex("HTTP/1.x 200 OK\r\n\r\n")}, "Corrupted response received.",
       30000},
      {"a header without end", {"endless-header"}, "Corrupted response received.", 30000},
      {"HTTP/2.0", {"raw", nettest::Hex("HTTP/2.0 200 OK\r\n\r\n")}, "Unsupported HTTP version.", 30000},
      {"a chunk size of 2^64",
       {"raw", nettest::Hex("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n10000000000000000\r\nabc")},
       "Corrupted chunk header", 30000},
      {"gzip", {"raw", nettest::Hex("HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip\r\n\r\n")},
       "Unknown transfer coding (gzip)", 30000},
      {"a redirect loop", {"redirect-loop"}, "Too many redirects.", 30000},
      {"a relative redirect", {"redirect-relative"}, "Invalid redirect URL.", 30000},
      {"a reset mid-body", {"reset-mid"}, "(10054) Connection reset by peer.", 30000},
      {"a close mid-body", {"close-mid"}, "The connection was lost.", 30000},
      {"a server that never answers", {"silent"}, "The connection timed out.", 2000},
      {"404", {"raw", nettest::Hex("HTTP/1.1 404 Not Found\r\n\r\n")}, "The file was not found.", 30000},
      {"401", {"raw", nettest::Hex("HTTP/1.1 401 Unauthorized\r\n\r\n")}, "The access has been denied.", 30000},
      {"another status", {"raw", nettest::Hex("HTTP/1.1 503 Busy Now\r\n\r\n")},
       "Unexpected response received (503 Busy Now)", 30000},
      {"a close before the header ends", {"raw", nettest::Hex("HTTP/1.1 200 OK\r\nContent-")}, "The connection was lost.",
       30000},
  };
  for (const Row& row : rows) {
    twltest::LoopbackPeer peer("http_peer.py", row.server);
    const Fetched fetched = Fetch(Url(peer), row.timeout);
    EXPECT_NE(std::string::npos, fetched.error.find(row.error)) << row.why << ": " << fetched.error;
  }
}

TEST_F(HTTPStreamTest, LookupThatNeverEndsCannotEstablishTheConnection) {
  const Fetched fetched = Fetch("http://slow.example/file", 300);
  EXPECT_EQ(DWORD{CStreamError::kCanEstablishConnection}, fetched.code) << fetched.error;
  EXPECT_NE(std::string::npos, fetched.error.find("Can't establish connection.")) << fetched.error;
}

TEST_F(HTTPStreamTest, PausedReaderKeepsAHealthyStream) {
  // More than the receive buffer holds, so that bytes wait in the socket
  // while nobody reads for several time-outs.
  const std::string body(200000, 'p');
  const std::string reply = "HTTP/1.1 200 OK\r\nContent-Length: 200000\r\n\r\n" + body;
  const std::string replyFile = std::string(getenv("TMPDIR")) + "/reply.bin";
  std::ofstream(replyFile, std::ios::binary) << reply;
  twltest::LoopbackPeer peer("http_peer.py", {"raw-keep", "@" + replyFile});
  CStream* stream = Open(Url(peer), 200);
  ASSERT_NE(nullptr, stream);
  ASSERT_TRUE(nettest::Eventually([&] { return static_cast<CFlowingStream*>(stream)->HasData(); }));
  Sleep(1000);
  const Fetched fetched = ReadAll(stream);
  EXPECT_EQ("", fetched.error);
  EXPECT_EQ(body.size(), fetched.data.size());
}

TEST_F(HTTPStreamTest, ShutdownEndsAWaitingReadAtOnce) {
  twltest::LoopbackPeer peer("http_peer.py", {"silent"});
  CStream* stream = Open(Url(peer), 600000);
  ASSERT_NE(nullptr, stream);
  CStr type;
  EXPECT_EQ(2u, stream->GetContentType(type)) << "no header yet";
  std::thread stopper([stream] {
    Sleep(200);
    stream->Shutdown();
  });
  const Fetched fetched = ReadAll(stream);
  stopper.join();
  EXPECT_EQ(DWORD{CStreamError::kShutdown}, fetched.code) << fetched.error;
}

TEST_F(HTTPStreamTest, UnusableUrlsAndFlagsAreNotOpened) {
  CHTTPStreamProvider provider;
  StreamOpenAnswer answer{};
  EXPECT_TRUE(provider.CanOpen("HTTP://host/x", kStreamRead, answer));
  EXPECT_EQ(kStreamRead | kStreamFlowing, answer.capabilities);
  EXPECT_EQ(5000u, answer.transferRate);
  EXPECT_EQ(1000u, answer.delay);
  EXPECT_FALSE(provider.CanOpen("http://host/x", kStreamRead | kStreamWrite, answer));
  EXPECT_FALSE(provider.CanOpen("ftp://host/x", kStreamRead, answer));
  EXPECT_EQ(nullptr, provider.OpenEx("http://host:8o/x", kOpenFlags, nullptr, -1, false, 1000));
  EXPECT_EQ(nullptr, provider.OpenEx("http://host/x", kStreamRead, nullptr, -1, false, 1000)) << "creation mode";
  EXPECT_EQ(nullptr, provider.OpenEx("ftp://host/x", kOpenFlags, nullptr, -1, false, 1000)) << "no proxy";
  EXPECT_EQ(nullptr, provider.OpenEx("ftp://host/x", kOpenFlags, "", -1, false, 1000)) << "an empty proxy";
}

}  // namespace
