// Cutting UTF-8 text to a buffer: the layer hands out text cut to the
// caller's buffer, and a cut never splits a character (bytes that are not
// UTF-8 are cut anywhere).
#pragma once

#include <cstddef>

namespace twl {

// The length of the longest prefix of `text` (of `length` bytes) that fits
// `room` bytes without splitting a UTF-8 sequence.
inline size_t Utf8PrefixLength(const unsigned char* text, size_t length, size_t room) {
  if (length <= room) return length;
  size_t cut = room;
  size_t back = 0;
  while (cut > 0 && back < 3 && (text[cut] & 0xC0) == 0x80) {
    --cut;
    ++back;
  }
  bool splitsSequence = back > 0 && text[cut] >= 0xC2 && text[cut] <= 0xF4;
  return splitsSequence ? cut : room;
}

}  // namespace twl
