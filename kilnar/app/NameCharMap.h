// The character table of ISO names: one byte per Windows-1252 byte value
// that upper-cases letters, folds accented vowels to their plain letter
// (covering the OEM code page 850 and Windows-1252 at once) and turns "-"
// into "_". Every track owns one. A value object.
#pragma once

#include <cstdint>

class NameCharMap {
 public:
  NameCharMap();

  uint8_t Map(uint8_t byte) const { return m_Table[byte] ? m_Table[byte] : byte; }
  const uint8_t* GetBytes() const { return m_Table; }

 private:
  uint8_t m_Table[256];
};
