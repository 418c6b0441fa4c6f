// CHTTPResponseParser: reads an HTTP/1.x response from runs of bytes as
// they arrive, in whatever pieces the network cuts them: first the status
// line and the header fields (ParseHead), then the body, whose chunked
// transfer coding it removes in place (DecodeBody). Every text it collects
// is bounded, so a server that never ends a line or a header fails with an
// error instead of filling memory, and no number it reads can wrap.
//
// Errors are thrown as CError (caption "HTTP error") or, for 401 and 404,
// as CStreamError about the URL given to Reset. Not thread-safe: its owner
// guards it.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "foundation/kernel/Str.h"

class CHTTPResponseParser {
 public:
  static constexpr size_t kMaxLineLength = 64 * 1024;
  static constexpr size_t kMaxHeaderLength = 1024 * 1024;
  static constexpr LONGLONG kUnknownLength = -1;

  CHTTPResponseParser() = default;

  // Forgets everything of an earlier response; `url` names the resource in
  // the stream errors of 401 and 404.
  void Reset(const CStr& url);

  // Consumes bytes of the status line and header up to the header's end
  // and returns how many it took; the rest of the run is body.
  size_t ParseHead(const char* data, size_t size);
  bool IsHeadDone() const { return m_Phase == kDone; }

  // Decodes a run of body bytes in place: the payload is moved to the
  // front and its length returned. Without the chunked coding every byte is
  // payload; after the last chunk nothing more is.
  size_t DecodeBody(char* data, size_t size);
  bool IsLastChunkSeen() const { return m_LastChunk; }

  bool IsRedirect() const { return m_Redirect; }
  bool IsChunked() const { return m_Chunked; }
  // -1 until a Content-Length field has been read.
  LONGLONG GetContentLength() const { return m_ContentLength; }
  const std::string& GetContentType() const { return m_ContentType; }
  const std::string& GetLocation() const { return m_Location; }
  const std::string& GetStatusCode() const { return m_StatusCode; }

 private:
  enum Phase { kProtocol, kStatus, kReason, kHeaderFields, kDone };
  enum ChunkPhase { kChunkSize, kChunkData, kChunkEnd };

  size_t TakeProtocol(const char* data, size_t size);
  size_t TakeStatus(const char* data, size_t size);
  size_t TakeReason(const char* data, size_t size);
  size_t TakeHeaderFields(const char* data, size_t size);
  void CheckProtocol() const;
  void AcceptStatus();
  void ReadHeaderField(const std::string& line);
  void ReadContentLength(const char* value);
  void ReadTransferEncoding(const char* value);
  void StartChunk();
  // Collects into `line` up to and including a CR LF; true once it ends
  // there. `crSeen` carries a CR across runs.
  static bool CollectLine(std::string& line, bool& crSeen, const char* data, size_t size, size_t& used,
                          size_t limit, bool corruptChunk);
  void CountStatusLine(size_t bytes);

  CStr m_Url;
  Phase m_Phase = kProtocol;
  std::string m_Protocol, m_StatusCode, m_Reason, m_HeaderLine;
  bool m_CrSeen = false;
  bool m_PreviousLineEnded = true;  // the status line ended with its own CR LF
  size_t m_StatusLineLength = 0;
  size_t m_HeaderLength = 0;
  bool m_Redirect = false;
  bool m_Chunked = false;
  LONGLONG m_ContentLength = kUnknownLength;
  std::string m_ContentType, m_Location;

  ChunkPhase m_ChunkPhase = kChunkSize;
  std::string m_ChunkSizeLine;
  bool m_ChunkCrSeen = false;
  uint64_t m_ChunkLeft = 0;
  bool m_LastChunk = false;
};
