#include "plugins/netvarra/ftp/FTPReplyCollector.h"

#include "plugins/netvarra/ftp/FTPError.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool EndsMultiLineReply(const std::string& line, const std::string& partial) {
  return line.size() > 3 && line.compare(0, 3, partial, 0, 3) == 0 && line[3] == ' ';
}

}  // namespace

bool FTPReplyCollector::AddLine(const std::string& line) {
  if (line.size() > kMaxLineLength) ThrowOversizedReply(line);
  if (m_MultiLine) {
    if (m_Partial.size() + 1 + line.size() > kMaxReplyLength) ThrowOversizedReply(m_Partial);
    const bool ends = EndsMultiLineReply(line, m_Partial);
    m_Partial += '\n';
    m_Partial += line;
    if (!ends) return false;
    Queue();
    return true;
  }
  if (line.size() < 4 || !IsDigit(line[0]) || !IsDigit(line[1]) || !IsDigit(line[2]) ||
      (line[3] != '-' && line[3] != ' ')) {
    HoldOtherLine(line);
    return false;
  }
  m_Partial = line;
  if (line[3] == '-') {
    m_MultiLine = true;
    return false;
  }
  Queue();
  return true;
}

void FTPReplyCollector::Queue() {
  m_Replies.push_back(std::move(m_Partial));
  m_Partial.clear();
  m_MultiLine = false;
}

void FTPReplyCollector::HoldOtherLine(const std::string& line) {
  if (m_OtherLines.size() == kMaxOtherLines) m_OtherLines.pop_front();
  m_OtherLines.push_back(line);
}

bool FTPReplyCollector::TakeReply(std::string& reply) {
  if (m_Replies.empty()) {
    reply.clear();
    return false;
  }
  reply = std::move(m_Replies.front());
  m_Replies.pop_front();
  return true;
}

void FTPReplyCollector::DropReplies() {
  m_Replies.clear();
  m_Partial.clear();
  // A reply cut off here must not swallow the lines that follow.
  m_MultiLine = false;
}

void FTPReplyCollector::Clear() {
  DropReplies();
  m_OtherLines.clear();
}

bool ParseQuotedDirectory(const std::string& reply, std::string& name) {
  size_t at = 4;
  while (at < reply.size() && (reply[at] == ' ' || reply[at] == '\t')) ++at;
  if (at >= reply.size() || reply[at] != '"') return false;
  const size_t start = ++at;
  while (at < reply.size()) {
    if (reply[at] != '"') {
      ++at;
      continue;
    }
    if (at + 1 < reply.size() && reply[at + 1] == '"') {
      at += 2;
      continue;
    }
    name = reply.substr(start, at - start);
    return true;
  }
  return false;
}
