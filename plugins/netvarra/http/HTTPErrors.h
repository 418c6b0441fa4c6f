// The errors of HTTP transfers that are not stream errors: each is a
// CError with the caption "HTTP error" and a localised text.
#pragma once

enum HTTPErrorKind {
  kCorruptedResponse,
  kUnsupportedVersion,
  kCorruptChunkHeader,
  kRedirectNoLocation,
  kRedirectInvalidURL,
  kTooManyRedirects,
};

[[noreturn]] void ThrowHTTPError(HTTPErrorKind kind);
// "Unexpected response received (<code> <reason>)".
[[noreturn]] void ThrowUnexpectedResponse(const char* statusCode, const char* reason);
// "Unknown transfer coding (<coding>)".
[[noreturn]] void ThrowUnknownTransferCoding(const char* coding);
