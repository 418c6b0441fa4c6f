// CanPlayAnswer: a player's answer to "can you play this URL?", filled by
// the player plug-in and read by the host. It crosses the plug-in boundary
// unchanged: eight 32-bit words, no pointers, the same 32 bytes for every
// plug-in. The host zeroes it before it asks.
#pragma once

#include <windows.h>

#include <cstddef>

struct CanPlayAnswer {
  DWORD reserved;         // not read by the host; plug-ins write 0
  DWORD verdict;          // 0 cannot play, 1 can play, 2 can play but less sure
  DWORD supportLevel;     // 1 and up best, 2 next, 0 last
  DWORD costLevel;        // 0 best, 2 next, 1 last
  DWORD exclusiveAccess;  // non-zero: asks for the right to take the file exclusively
  DWORD legacyLevel;      // set by the host's adapter after the plug-in answered
  DWORD legacyGroup;      // set by the host's adapter after the plug-in answered
  DWORD priority;         // 0..255, higher is better
};

static_assert(sizeof(CanPlayAnswer) == 32);
static_assert(offsetof(CanPlayAnswer, verdict) == 4);
static_assert(offsetof(CanPlayAnswer, exclusiveAccess) == 16);
static_assert(offsetof(CanPlayAnswer, priority) == 28);
