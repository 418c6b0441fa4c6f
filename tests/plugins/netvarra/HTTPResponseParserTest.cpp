// The response parser fed whole responses and the same bytes cut into
// small runs: status lines, header fields, chunked bodies, and the bounds
// that keep a bad server from growing memory or wrapping a number.
#include <gtest/gtest.h>

#include <string>

#include "foundation/streams/StreamError.h"
#include "plugins/netvarra/http/HTTPResponseParser.h"

namespace {

struct ParseOutcome {
  std::string error;  // the thrown error's text, empty when none
  DWORD streamCode = 0;
  bool headDone = false;
  bool redirect = false;
  bool chunked = false;
  bool lastChunk = false;
  LONGLONG length = -1;
  std::string type, location, payload;
};

// Feeds `response` in runs of at most `cut` bytes.
ParseOutcome ParseInRuns(const std::string& response, size_t cut) {
  ParseOutcome outcome;
  CHTTPResponseParser parser;
  parser.Reset("http://host/file");
  try {
    for (size_t at = 0; at < response.size(); at += cut) {
      std::string run = response.substr(at, cut);
      size_t used = 0;
      if (!parser.IsHeadDone()) used = parser.ParseHead(run.data(), run.size());
      if (!parser.IsHeadDone()) continue;
      std::string body = run.substr(used);
      outcome.payload.append(body.data(), parser.DecodeBody(body.data(), body.size()));
    }
  } catch (CError* error) {
    outcome.error = error->GetText().c_str();
    if (IsKindOf<CStreamError>(error)) outcome.streamCode = static_cast<CStreamError*>(error)->GetCode();
    DisposeError(error);
  }
  outcome.headDone = parser.IsHeadDone();
  outcome.redirect = parser.IsRedirect();
  outcome.chunked = parser.IsChunked();
  outcome.lastChunk = parser.IsLastChunkSeen();
  outcome.length = parser.GetContentLength();
  outcome.type = parser.GetContentType();
  outcome.location = parser.GetLocation();
  return outcome;
}

ParseOutcome Parse(const std::string& response) {
  ParseOutcome whole = ParseInRuns(response, response.size() + 1);
  for (size_t cut : {1u, 2u, 7u}) {
    ParseOutcome pieces = ParseInRuns(response, cut);
    EXPECT_EQ(whole.error, pieces.error) << "cut " << cut;
    EXPECT_EQ(whole.payload, pieces.payload) << "cut " << cut;
    EXPECT_EQ(whole.lastChunk, pieces.lastChunk) << "cut " << cut;
  }
  return whole;
}

constexpr const char* kOk = "HTTP/1.1 200 OK\r\n";

TEST(HTTPResponseParserTest, StatusLines) {
  struct Row {
    const char* why;
    std::string response;
    std::string error;
  } rows[] = {
      {"HTTP/1.0 is accepted", "HTTP/1.0 200 OK\r\n\r\n", ""},
      {"ICY is accepted like HTTP/1.0", "ICY 200 OK\r\n\r\n", ""},
      {"the protocol word in any case", "http/1.1 200 OK\r\n\r\n", ""},
      {"a status line without a reason", "HTTP/1.1 200\r\n\r\n", ""},
      {"HTTP/2.0 is not spoken", "HTTP/2.0 200 OK\r\n\r\n", "Unsupported HTTP version."},
      {"a minor version that is not a number", "HTTP/1.x 200 OK\r\n\r\n", "Corrupted response received."},
      {"no version at all", "HTTP 200 OK\r\n\r\n", "Corrupted response received."},
      {"a status that is not a number", "HTTP/1.1 2x0 OK\r\n\r\n", "Corrupted response received."},
      {"another status", "HTTP/1.1 500 Server Broke\r\n\r\n", "Unexpected response received (500 Server Broke)"},
      {"a status line over 64 KiB", "HTTP/1.1 200 " + std::string(70000, 'a') + "\r\n\r\n",
       "Corrupted response received."},
      {"a protocol word that never ends", std::string(70000, 'H'), "Corrupted response received."},
  };
  for (const Row& row : rows) {
    const ParseOutcome outcome = Parse(row.response);
    EXPECT_EQ(row.error, outcome.error) << row.why;
    if (row.error.empty()) {
      EXPECT_TRUE(outcome.headDone) << row.why;
    }
  }
}

TEST(HTTPResponseParserTest, AccessDeniedAndNotFoundAreStreamErrors) {
  EXPECT_EQ(DWORD{CStreamError::kAccessDenied}, Parse("HTTP/1.1 401 Unauthorized\r\n\r\n").streamCode);
  EXPECT_EQ(DWORD{CStreamError::kFileNotFound}, Parse("HTTP/1.1 404 Not Found\r\n\r\n").streamCode);
}

TEST(HTTPResponseParserTest, HeaderFields) {
  ParseOutcome outcome = Parse(std::string(kOk) +
                               "content-length: 5\r\nContent-Type :  audio/ogg\r\nX-Other: 1\r\n\r\nhello");
  EXPECT_EQ(5, outcome.length);
  EXPECT_EQ("audio/ogg", outcome.type);
  EXPECT_EQ("hello", outcome.payload);

  outcome = Parse(std::string(kOk) + "Content-Length: 12ab\r\n\r\n");
  EXPECT_EQ(-1, outcome.length) << "a length that is not a number is not taken";
  outcome = Parse(std::string(kOk) + "Content-Length: 9223372036854775807\r\n\r\n");
  EXPECT_EQ(0x7FFFFFFFFFFFFFFFLL, outcome.length);
  outcome = Parse(std::string(kOk) + "Content-Length: 9223372036854775808\r\n\r\n");
  EXPECT_EQ("Corrupted response received.", outcome.error) << "above 2^63 - 1 never wraps";

  outcome = Parse("HTTP/1.1 302 Found\r\nLocation: http://other/x\r\n\r\n");
  EXPECT_TRUE(outcome.redirect);
  EXPECT_EQ("http://other/x", outcome.location);

  EXPECT_EQ("Corrupted response received.", Parse(std::string(kOk) + "X: " + std::string(70000, 'v')).error)
      << "a header line over 64 KiB";
  std::string endless(kOk);
  for (int i = 0; i < 60000; ++i) endless += "X-Field: some value\r\n";
  EXPECT_EQ("Corrupted response received.", Parse(endless).error) << "a header over 1 MiB";
}

TEST(HTTPResponseParserTest, TransferCodings) {
  struct Row {
    const char* why;
    std::string header;
    std::string error;
    bool chunked;
  } rows[] = {
      {"chunked", "Transfer-Encoding: chunked", "", true},
      {"compared in lower case", "Transfer-Encoding: CHUNKED", "", true},
      {"identity clears it", "Transfer-Encoding: chunked\r\nTransfer-Encoding: identity", "", false},
      {"gzip is not decoded", "Transfer-Encoding: gzip", "Unknown transfer coding (gzip)", false},
  };
  for (const Row& row : rows) {
    const ParseOutcome outcome = Parse(std::string(kOk) + row.header + "\r\n\r\n");
    EXPECT_EQ(row.error, outcome.error) << row.why;
    EXPECT_EQ(row.chunked, outcome.chunked) << row.why;
  }
}

TEST(HTTPResponseParserTest, ChunkedBodies) {
  const std::string head = std::string(kOk) + "Transfer-Encoding: chunked\r\n\r\n";
  struct Row {
    const char* why;
    std::string body;
    std::string payload;
    bool lastChunk;
    std::string error;
  } rows[] = {
      {"one chunk and the last", "5\r\nhello\r\n0\r\n\r\n", "hello", true, ""},
      {"extensions are ignored", "A;x=1\r\n0123456789\r\n0\r\n\r\n", "0123456789", true, ""},
      {"hex digits in either case", "a\r\n0123456789\r\nB\r\nabcdefghijk\r\n0\r\n\r\n",
       "0123456789abcdefghijk", true, ""},
      {"nothing after the last chunk is payload", "2\r\nok\r\n0\r\n\r\nHTTP/1.1 200 OK\r\n", "ok", true, ""},
      {"not yet ended", "3\r\nabc\r\n", "abc", false, ""},
      {"a size line without digits", "zz\r\nabc\r\n", "", false, "Corrupted chunk header"},
      {"an empty size line", "\r\nabc\r\n", "", false, "Corrupted chunk header"},
      {"a size of 2^64 never wraps", "10000000000000000\r\nabc", "", false, "Corrupted chunk header"},
      {"the largest size is taken", "7FFFFFFFFFFFFFFF\r\nabc", "abc", false, ""},
      {"one more is too large", "8000000000000000\r\nabc", "", false, "Corrupted chunk header"},
      {"a size line over 64 KiB", std::string(70000, '1'), "", false, "Corrupted chunk header"},
  };
  for (const Row& row : rows) {
    const ParseOutcome outcome = Parse(head + row.body);
    EXPECT_EQ(row.error, outcome.error) << row.why;
    if (!row.error.empty()) continue;
    EXPECT_EQ(row.payload, outcome.payload) << row.why;
    EXPECT_EQ(row.lastChunk, outcome.lastChunk) << row.why;
  }
}

}  // namespace
