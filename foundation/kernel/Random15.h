// CRandom15: a seedable pseudo-random generator whose values run from 0 to
// 32767, the range that play-order arithmetic was designed around (a
// remainder of a value in that range). The same seed always gives the same
// sequence, so shuffles can be reproduced in tests.
//
// Threading: none; the owner guards it (the player system uses its own on
// the user-interface thread).
#pragma once

#include <cstdint>

class CRandom15 {
 public:
  static constexpr int kMax = 32767;

  explicit CRandom15(uint32_t seed = 1) : m_State(seed) {}

  void Seed(uint32_t seed) { m_State = seed; }
  // The next value, 0..32767.
  int Next() {
    m_State = m_State * 214013u + 2531011u;
    return static_cast<int>((m_State >> 16) & 0x7FFF);
  }

 private:
  uint32_t m_State;
};
