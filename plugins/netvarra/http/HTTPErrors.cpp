#include "plugins/netvarra/http/HTTPErrors.h"

#include <string>

#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Error.h"

namespace {

struct ErrorText {
  const char* key;
  const char* defaultText;
};

constexpr ErrorText kTexts[] = {
    {"HTTPError.CorruptedResponse", "Corrupted response received."},
    {"HTTPError.UnsupportedHTTPVersion", "Unsupported HTTP version."},
    {"HTTPError.CorruptChunkHeader", "Corrupted chunk header"},
    {"HTTPError.RedirectNoLocation", "Redirect response received but no new location was specified."},
    {"HTTPError.RedirectInvalidURL", "Invalid redirect URL."},
    {"HTTPError.TooManyRedirects", "Too many redirects."},
};

CStr Caption() { return LocalText("HTTPError.Caption", "HTTP error"); }

// Replaces the first `marker` in `text` with `value`.
std::string Substitute(std::string text, const char* marker, const char* value) {
  const size_t at = text.find(marker);
  if (at != std::string::npos) text.replace(at, std::char_traits<char>::length(marker), value);
  return text;
}

}  // namespace

void ThrowHTTPError(HTTPErrorKind kind) {
  const ErrorText& text = kTexts[kind];
  ThrowError<CError>(Caption(), LocalText(text.key, text.defaultText));
}

void ThrowUnexpectedResponse(const char* statusCode, const char* reason) {
  std::string text(LocalText("HTTPError.UnexpectedResponse", "Unexpected response received (%STATUSCODE% %REASON%)"));
  text = Substitute(Substitute(text, "%STATUSCODE%", statusCode), "%REASON%", reason);
  ThrowError<CError>(Caption(), CStr(text.c_str()));
}

void ThrowUnknownTransferCoding(const char* coding) {
  const std::string text = Substitute(std::string(LocalText("HTTPError.UnknownTransferCoding",
                                                            "Unknown transfer coding (%CODING%)")),
                                      "%CODING%", coding);
  ThrowError<CError>(Caption(), CStr(text.c_str()));
}
