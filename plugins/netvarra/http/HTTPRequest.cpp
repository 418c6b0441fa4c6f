#include "plugins/netvarra/http/HTTPRequest.h"

#include <cstring>
#include <strings.h>

namespace {

std::string Trimmed(const std::string& text) {
  const size_t begin = text.find_first_not_of(" \t\r\n");
  if (begin == std::string::npos) return {};
  const size_t end = text.find_last_not_of(" \t\r\n");
  return text.substr(begin, end - begin + 1);
}

std::string EscapeBlanks(const std::string& path) {
  std::string escaped;
  escaped.reserve(path.size());
  for (char c : path) {
    if (c == ' ')
      escaped += "%20";
    else
      escaped += c;
  }
  return escaped;
}

}  // namespace

bool ParseURL(const char* url, ParsedURL& parsed) {
  parsed = ParsedURL();
  const char* separator = std::strstr(url, "://");
  if (!separator) return false;
  parsed.scheme = Trimmed(std::string(url, separator));
  if (parsed.scheme.empty()) return false;
  const std::string rest(separator + 3);
  const size_t colon = rest.find(':');
  size_t pathStart;
  if (colon != std::string::npos) {
    parsed.host = rest.substr(0, colon);
    pathStart = rest.find('/', colon);
    const size_t digitsEnd = pathStart == std::string::npos ? rest.size() : pathStart;
    long port = 0;
    for (size_t i = colon + 1; i < digitsEnd; ++i) {
      if (rest[i] < '0' || rest[i] > '9') return false;
      port = port * 10 + (rest[i] - '0');
      if (port > 65535) return false;
    }
    parsed.port = static_cast<int>(port);
  } else {
    pathStart = rest.find('/');
    parsed.host = rest.substr(0, pathStart);
  }
  if (pathStart != std::string::npos) parsed.path = EscapeBlanks(rest.substr(pathStart));
  return true;
}

bool PrepareRequest(const char* url, bool haveProxy, PreparedRequest& request) {
  ParsedURL parsed;
  if (!ParseURL(url, parsed)) return false;
  const bool isHTTP = strcasecmp(parsed.scheme.c_str(), "http") == 0;
  if (!isHTTP && !haveProxy) return false;
  request = PreparedRequest();
  request.notHTTP = !isHTTP;
  request.proxyRequest = std::string("GET ") + url + " HTTP/1.1\r\nAccept: */*\r\n\r\n";
  const std::string hostField =
      parsed.port == -1 ? parsed.host : parsed.host + ":" + std::to_string(parsed.port);
  if (parsed.path.empty())
    request.directRequest = "GET / HTTP/1.1\r\nHost: " + hostField + "\r\nAccept: */*\r\n\r\n";
  else
    request.directRequest = "GET " + parsed.path + " HTTP/1.1\r\nHost: " + hostField + "\r\n\r\n";
  request.host = parsed.host;
  request.port = parsed.port == -1 ? 80 : parsed.port;
  return true;
}
