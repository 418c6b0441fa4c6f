#include "CommandLog.h"

#include <cstdio>

namespace twl::aspi {
namespace {

constexpr uint32_t kLoggedDataLimit = 4096;

bool IsWrite(uint8_t opcode) { return opcode == 0x0A || opcode == 0x2A || opcode == 0xAA; }

}  // namespace

std::string HexBytes(const uint8_t* bytes, size_t count) {
  std::string text;
  char digits[4];
  for (size_t i = 0; i < count; ++i) {
    std::snprintf(digits, sizeof digits, i ? " %02x" : "%02x", bytes[i]);
    text += digits;
  }
  return text;
}

void CommandLog::Command(const uint8_t* cdb, int cdbLength, const std::string& phase, const std::string& outcome,
                         const uint8_t* dataOut, uint32_t dataOutLength) {
  if (m_Path.empty()) return;
  std::string line = HexBytes(cdb, static_cast<size_t>(cdbLength)) + " | " + phase + " | " + outcome;
  if (dataOut && dataOutLength > 0 && dataOutLength <= kLoggedDataLimit && !IsWrite(cdb[0]))
    line += " | " + HexBytes(dataOut, dataOutLength);
  Append(line);
}

void CommandLog::Note(const std::string& text) {
  if (!m_Path.empty()) Append("# " + text);
}

void CommandLog::Append(const std::string& line) {
  FILE* file = std::fopen(m_Path.c_str(), "a");
  if (!file) return;
  std::fprintf(file, "%s\n", line.c_str());
  std::fclose(file);
}

}  // namespace twl::aspi
