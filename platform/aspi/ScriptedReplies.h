// Answers scripted for the emulated recorder, from the TWL_RECORDER_REPLIES
// file or the testing header: lines "OP data HEX..." (the data answered,
// fewer bytes than asked is a short answer), "OP sense HEX..." (CHECK
// CONDITION with exactly these sense bytes) or "OP good" (ends good, not
// interpreted); "#" starts a comment. Each reply may hold for one
// occurrence of its operation code only.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace twl::aspi {

struct ScriptedReply {
  enum class Kind { Data, Sense, Good } kind = Kind::Good;
  std::vector<uint8_t> bytes;
};

class ScriptedReplies {
 public:
  // Reads the file; unreadable lines are named in `problems`.
  void LoadFile(const std::string& path, std::string& problems);
  // One line without the operation code ("data 00 01"); false when it is
  // not one.
  bool Add(uint8_t opcode, uint32_t occurrence, const std::string& reply);
  // The reply for the `occurrence`-th command of the code (from 1).
  std::optional<ScriptedReply> Find(uint8_t opcode, uint32_t occurrence) const;
  void Clear() { m_Replies.clear(); }

 private:
  std::map<std::pair<uint8_t, uint32_t>, ScriptedReply> m_Replies;
};

}  // namespace twl::aspi
