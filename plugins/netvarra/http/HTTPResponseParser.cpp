#include "plugins/netvarra/http/HTTPResponseParser.h"

#include <algorithm>
#include <cstring>

#include "foundation/errors/LocalText.h"
#include "foundation/streams/StreamError.h"
#include "plugins/netvarra/http/HTTPErrors.h"

namespace {

constexpr uint64_t kLargestLength = 0x7FFFFFFFFFFFFFFFull;

bool IsDigitRun(const std::string& text, size_t begin, size_t end) {
  if (begin >= end) return false;
  for (size_t i = begin; i < end; ++i)
    if (text[i] < '0' || text[i] > '9') return false;
  return true;
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithNoCase(const char* text, const char* prefix) {
  for (; *prefix; ++text, ++prefix)
    if (LowerAscii(*text) != LowerAscii(*prefix)) return false;
  return true;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The value of a header field named `name` in `line`, or null when the
// line is another field or does not have the field's shape.
const char* FieldValue(const char* line, const char* name) {
  while (*line == ' ') ++line;
  if (!StartsWithNoCase(line, name)) return nullptr;
  line += std::strlen(name);
  while (*line == ' ') ++line;
  if (*line != ':') return nullptr;
  ++line;
  while (*line == ' ') ++line;
  return *line == '\r' ? nullptr : line;
}

std::string TextUpTo(const char* value, const char* stops) { return std::string(value, std::strcspn(value, stops)); }

}  // namespace

void CHTTPResponseParser::Reset(const CStr& url) { *this = CHTTPResponseParser(); m_Url = url; }

size_t CHTTPResponseParser::ParseHead(const char* data, size_t size) {
  size_t used = 0;
  while (used < size && m_Phase != kDone) {
    const size_t before = used;
    const Phase phase = m_Phase;
    switch (m_Phase) {
      case kProtocol: used += TakeProtocol(data + used, size - used); break;
      case kStatus: used += TakeStatus(data + used, size - used); break;
      case kReason: used += TakeReason(data + used, size - used); break;
      case kHeaderFields: used += TakeHeaderFields(data + used, size - used); break;
      case kDone: break;
    }
    if (used == before && m_Phase == phase) break;
  }
  return used;
}

void CHTTPResponseParser::CountStatusLine(size_t bytes) {
  m_StatusLineLength += bytes;
  if (m_StatusLineLength > kMaxLineLength) ThrowHTTPError(kCorruptedResponse);
}

size_t CHTTPResponseParser::TakeProtocol(const char* data, size_t size) {
  size_t used = 0;
  while (used < size && m_Protocol.empty() && data[used] == ' ') ++used;
  const char* space = static_cast<const char*>(std::memchr(data + used, ' ', size - used));
  const size_t end = space ? static_cast<size_t>(space - data) : size;
  CountStatusLine(end);
  m_Protocol.append(data + used, end - used);
  if (!space) return size;
  CheckProtocol();
  m_Phase = kStatus;
  return end;
}

void CHTTPResponseParser::CheckProtocol() const {
  const std::string& word = m_Protocol;
  if (word.size() == 3 && StartsWithNoCase(word.c_str(), "icy")) return;
  if (!StartsWithNoCase(word.c_str(), "http/")) ThrowHTTPError(kCorruptedResponse);
  const size_t dot = word.find('.', 5);
  if (dot == std::string::npos || !IsDigitRun(word, 5, dot) || !IsDigitRun(word, dot + 1, word.size()))
    ThrowHTTPError(kCorruptedResponse);
  const size_t major = word.find_first_not_of('0', 5);
  if (major != dot - 1 || word[major] != '1') ThrowHTTPError(kUnsupportedVersion);
}

size_t CHTTPResponseParser::TakeStatus(const char* data, size_t size) {
  size_t used = 0;
  while (used < size && m_StatusCode.empty() && data[used] == ' ') ++used;
  // A status line without a reason ends its code at the CR.
  size_t stop = used;
  while (stop < size && data[stop] != ' ' && data[stop] != '\r') ++stop;
  CountStatusLine(stop);
  m_StatusCode.append(data + used, stop - used);
  if (stop == size) return size;
  m_Phase = kReason;
  return stop;
}

size_t CHTTPResponseParser::TakeReason(const char* data, size_t size) {
  size_t used = 0;
  while (used < size && m_Reason.empty() && data[used] == ' ') ++used;
  const size_t start = used;
  const bool ended = CollectLine(m_Reason, m_CrSeen, data, size, used, kMaxLineLength - std::min(m_StatusLineLength, kMaxLineLength), false);
  CountStatusLine(used - start);
  if (!ended) return used;
  m_Reason.resize(m_Reason.size() - 2);
  AcceptStatus();
  m_Phase = kHeaderFields;
  return used;
}

void CHTTPResponseParser::AcceptStatus() {
  if (!IsDigitRun(m_StatusCode, 0, m_StatusCode.size())) ThrowHTTPError(kCorruptedResponse);
  const std::string& code = m_StatusCode;
  if (code == "200") return;
  if (code == "301" || code == "302" || code == "303" || code == "307") {
    m_Redirect = true;
    return;
  }
  if (code == "401") ThrowError<CStreamError>(DWORD{CStreamError::kAccessDenied}, m_Url.c_str());
  if (code == "404") ThrowError<CStreamError>(DWORD{CStreamError::kFileNotFound}, m_Url.c_str());
  ThrowUnexpectedResponse(code.c_str(), m_Reason.c_str());
}

size_t CHTTPResponseParser::TakeHeaderFields(const char* data, size_t size) {
  size_t used = 0;
  while (used < size && m_Phase == kHeaderFields) {
    const size_t start = used;
    const bool ended = CollectLine(m_HeaderLine, m_CrSeen, data, size, used, kMaxLineLength, false);
    m_HeaderLength += used - start;
    if (m_HeaderLength > kMaxHeaderLength) ThrowHTTPError(kCorruptedResponse);
    if (!ended) break;
    if (m_HeaderLine == "\r\n") {
      m_Phase = kDone;
      m_CrSeen = false;
    } else {
      ReadHeaderField(m_HeaderLine);
    }
    m_HeaderLine.clear();
  }
  return used;
}

bool CHTTPResponseParser::CollectLine(std::string& line, bool& crSeen, const char* data, size_t size, size_t& used,
                                      size_t limit, bool corruptChunk) {
  while (used < size) {
    const char c = data[used++];
    line.push_back(c);
    if (line.size() > limit) {
      if (corruptChunk) ThrowHTTPError(kCorruptChunkHeader);
      ThrowHTTPError(kCorruptedResponse);
    }
    if (crSeen && c == '\n') {
      crSeen = false;
      return true;
    }
    crSeen = c == '\r';
  }
  return false;
}

void CHTTPResponseParser::ReadHeaderField(const std::string& line) {
  const char* text = line.c_str();
  if (const char* value = FieldValue(text, "Content-Length")) return ReadContentLength(value);
  if (const char* value = FieldValue(text, "Content-Type")) {
    m_ContentType = TextUpTo(value, "\r");
    return;
  }
  if (const char* value = FieldValue(text, "Transfer-Encoding")) return ReadTransferEncoding(value);
  if (const char* value = FieldValue(text, "Location")) m_Location = TextUpTo(value, "\r");
}

void CHTTPResponseParser::ReadContentLength(const char* value) {
  uint64_t length = 0;
  for (; *value != ' ' && *value != '\r' && *value; ++value) {
    if (*value < '0' || *value > '9') return;
    const unsigned digit = static_cast<unsigned>(*value - '0');
    if (length > (kLargestLength - digit) / 10) ThrowHTTPError(kCorruptedResponse);
    length = length * 10 + digit;
  }
  m_ContentLength = static_cast<LONGLONG>(length);
}

void CHTTPResponseParser::ReadTransferEncoding(const char* value) {
  std::string coding = TextUpTo(value, " \r");
  std::transform(coding.begin(), coding.end(), coding.begin(), LowerAscii);
  if (coding == "identity") {
    m_Chunked = false;
    return;
  }
  if (coding == "chunked") {
    m_Chunked = true;
    return;
  }
  ThrowUnknownTransferCoding(coding.c_str());
}

size_t CHTTPResponseParser::DecodeBody(char* data, size_t size) {
  if (!m_Chunked) return size;
  size_t read = 0, written = 0;
  while (read < size && !m_LastChunk) {
    switch (m_ChunkPhase) {
      case kChunkSize:
        if (!CollectLine(m_ChunkSizeLine, m_ChunkCrSeen, data, size, read, kMaxLineLength, true)) break;
        StartChunk();
        break;
      case kChunkData: {
        const size_t take = static_cast<size_t>(std::min<uint64_t>(m_ChunkLeft, size - read));
        if (written != read) std::memmove(data + written, data + read, take);
        written += take;
        read += take;
        m_ChunkLeft -= take;
        if (!m_ChunkLeft) m_ChunkPhase = kChunkEnd;
        break;
      }
      case kChunkEnd:
        // The line end after the data; what stands before it is dropped.
        if (!CollectLine(m_ChunkSizeLine, m_ChunkCrSeen, data, size, read, kMaxLineLength, true)) break;
        m_ChunkSizeLine.clear();
        m_ChunkPhase = kChunkSize;
        break;
    }
  }
  return written;
}

void CHTTPResponseParser::StartChunk() {
  const char* text = m_ChunkSizeLine.c_str();
  while (*text == ' ') ++text;
  if (HexValue(*text) < 0) ThrowHTTPError(kCorruptChunkHeader);
  uint64_t size = 0;
  for (int digit; (digit = HexValue(*text)) >= 0; ++text) {
    if (size > (kLargestLength >> 4)) ThrowHTTPError(kCorruptChunkHeader);
    size = (size << 4) | static_cast<unsigned>(digit);
  }
  m_ChunkSizeLine.clear();
  if (!size) {
    m_LastChunk = true;
    return;
  }
  m_ChunkLeft = size;
  m_ChunkPhase = kChunkData;
}
