// URLs taken apart and the GET requests made from them.
#include <gtest/gtest.h>

#include "plugins/netvarra/http/HTTPRequest.h"

namespace {

TEST(HTTPRequestTest, UrlsAndRequests) {
  struct Row {
    const char* why;
    const char* url;
    bool haveProxy;
    bool usable;
    const char* host;
    int port;
    const char* direct;
  } rows[] = {
      {"a blank in the path is escaped; no Accept line with a path", "http://host/a b", false, true, "host", 80,
       "GET /a%20b HTTP/1.1\r\nHost: host\r\n\r\n"},
      {"no path: the root with an Accept line", "http://host", false, true, "host", 80,
       "GET / HTTP/1.1\r\nHost: host\r\nAccept: */*\r\n\r\n"},
      {"a port goes into the Host field", "http://host:8000/x", false, true, "host", 8000,
       "GET /x HTTP/1.1\r\nHost: host:8000\r\n\r\n"},
      {"a colon right before the slash is port 0", "http://host:/x", false, true, "host", 0,
       "GET /x HTTP/1.1\r\nHost: host:0\r\n\r\n"},
      {"a port with a letter", "http://host:8o/x", false, false, "", 0, ""},
      {"a colon in the path without a port", "http://host/a:b", false, false, "", 0, ""},
      {"a port above 65535", "http://host:65536/", false, false, "", 0, ""},
      {"no scheme separator", "host/x", false, false, "", 0, ""},
      {"an empty scheme", " ://host/x", false, false, "", 0, ""},
      {"ftp without a proxy", "ftp://host/x", false, false, "", 0, ""},
      {"ftp through a proxy", "ftp://host/x", true, true, "host", 80, "GET /x HTTP/1.1\r\nHost: host\r\n\r\n"},
      {"the scheme in any case", "HTTP://host/x", false, true, "host", 80, "GET /x HTTP/1.1\r\nHost: host\r\n\r\n"},
  };
  for (const Row& row : rows) {
    PreparedRequest request;
    ASSERT_EQ(row.usable, PrepareRequest(row.url, row.haveProxy, request)) << row.why;
    if (!row.usable) continue;
    EXPECT_EQ(row.host, request.host) << row.why;
    EXPECT_EQ(row.port, request.port) << row.why;
    EXPECT_EQ(row.direct, request.directRequest) << row.why;
    EXPECT_EQ(std::string("GET ") + row.url + " HTTP/1.1\r\nAccept: */*\r\n\r\n", request.proxyRequest) << row.why;
  }
}

}  // namespace
