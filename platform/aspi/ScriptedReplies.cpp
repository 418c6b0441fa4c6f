#include "ScriptedReplies.h"

#include <fstream>
#include <sstream>

namespace twl::aspi {
namespace {

bool ParseHexByte(const std::string& text, uint8_t& value) {
  if (text.empty() || text.size() > 2 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
    return false;
  value = static_cast<uint8_t>(std::stoul(text, nullptr, 16));
  return true;
}

}  // namespace

bool ScriptedReplies::Add(uint8_t opcode, uint32_t occurrence, const std::string& reply) {
  std::istringstream words(reply);
  std::string kind;
  words >> kind;
  ScriptedReply parsed;
  if (kind == "data") parsed.kind = ScriptedReply::Kind::Data;
  else if (kind == "sense") parsed.kind = ScriptedReply::Kind::Sense;
  else if (kind == "good") parsed.kind = ScriptedReply::Kind::Good;
  else return false;
  std::string word;
  while (words >> word) {
    uint8_t byte = 0;
    if (!ParseHexByte(word, byte) || parsed.kind == ScriptedReply::Kind::Good) return false;
    parsed.bytes.push_back(byte);
  }
  m_Replies[{opcode, occurrence}] = std::move(parsed);
  return true;
}

void ScriptedReplies::LoadFile(const std::string& path, std::string& problems) {
  std::ifstream file(path);
  if (!file) {
    problems += "TWL_RECORDER_REPLIES: cannot read " + path + "; ";
    return;
  }
  std::string line;
  int number = 0;
  while (std::getline(file, line)) {
    ++number;
    line = line.substr(0, line.find('#'));
    std::istringstream words(line);
    std::string opcode;
    if (!(words >> opcode)) continue;
    std::string rest;
    std::getline(words, rest);
    uint8_t code = 0;
    if (!ParseHexByte(opcode, code) || !Add(code, 0, rest))
      problems += "TWL_RECORDER_REPLIES line " + std::to_string(number) + " is not OP data|sense|good; ";
  }
}

std::optional<ScriptedReply> ScriptedReplies::Find(uint8_t opcode, uint32_t occurrence) const {
  if (auto own = m_Replies.find({opcode, occurrence}); own != m_Replies.end()) return own->second;
  if (auto every = m_Replies.find({opcode, 0}); every != m_Replies.end()) return every->second;
  return std::nullopt;
}

}  // namespace twl::aspi
