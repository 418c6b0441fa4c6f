// Turns the control connection's lines into complete replies: a reply is
// one line "NNN text" or the lines from "NNN-" to the next line that
// begins with the same three characters and a blank, joined by "\n".
// Lines outside replies are held apart, only the latest few. A server
// cannot make it hold more than a bounded amount: an overlong line or
// multi-line reply throws the unexpected-reply error.
// Not locked: the client calls it under its own lock.
#pragma once

#include <deque>
#include <string>

class FTPReplyCollector {
 public:
  static constexpr size_t kMaxLineLength = 64 * 1024;
  static constexpr size_t kMaxReplyLength = 1024 * 1024;
  static constexpr size_t kMaxOtherLines = 64;

  // One line without its CR LF. True when it completed a reply.
  bool AddLine(const std::string& line);

  bool HasReply() const { return !m_Replies.empty(); }
  // The oldest complete reply leaves the queue; false when none.
  bool TakeReply(std::string& reply);
  const std::string& OldestReply() const { return m_Replies.front(); }
  void DropOldestReply() { m_Replies.pop_front(); }
  // Drops the queued replies and the one being collected.
  void DropReplies();
  const std::deque<std::string>& OtherLines() const { return m_OtherLines; }
  void Clear();

 private:
  void Queue();
  void HoldOtherLine(const std::string& line);

  std::string m_Partial;
  bool m_MultiLine = false;
  std::deque<std::string> m_Replies;
  std::deque<std::string> m_OtherLines;
};

// The name in a 257 reply: after the code and its separator and any
// blanks, the text between double quotes, a doubled quote standing for a
// quote and kept as written. False when there is no such name.
bool ParseQuotedDirectory(const std::string& reply, std::string& name);
