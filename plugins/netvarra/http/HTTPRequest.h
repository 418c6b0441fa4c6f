// The URL of an HTTP transfer taken apart, and the GET requests made from
// it: the direct one (path and Host field) and the one for an HTTP proxy
// (the whole URL). The same rules serve the first URL and every redirect.
#pragma once

#include <string>

struct ParsedURL {
  std::string scheme;
  std::string host;
  int port = -1;      // -1: the URL gives none
  std::string path;   // begins with '/', blanks as "%20"; empty: none
};

// False when the URL cannot be used: no "://", an empty scheme, or a port
// that is not decimal digits (or above 65535).
bool ParseURL(const char* url, ParsedURL& parsed);

struct PreparedRequest {
  bool notHTTP = false;   // fetched through the proxy only
  std::string host;
  int port = 80;
  std::string directRequest;
  std::string proxyRequest;
};

// False when the URL cannot be used, or is not http:// and there is no proxy.
bool PrepareRequest(const char* url, bool haveProxy, PreparedRequest& request);
