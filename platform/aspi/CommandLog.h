// The emulated recorder's log (TWL_RECORDER_LOG): one appended line per
// command received: the CDB bytes, the data phase, the outcome and, for
// short data-out phases of commands other than WRITE, the bytes sent.
// Lines of the emulator's own notes begin with "#". Callers hold the
// recorder's lock.
#pragma once

#include <cstdint>
#include <string>

namespace twl::aspi {

class CommandLog {
 public:
  void SetPath(const std::string& path) { m_Path = path; }
  void Command(const uint8_t* cdb, int cdbLength, const std::string& phase, const std::string& outcome,
               const uint8_t* dataOut, uint32_t dataOutLength);
  void Note(const std::string& text);

 private:
  void Append(const std::string& line);
  std::string m_Path;
};

std::string HexBytes(const uint8_t* bytes, size_t count);

}  // namespace twl::aspi
