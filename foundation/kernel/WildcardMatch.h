// Matching a text against a wildcard pattern, as the host offers it to
// plug-ins and as the player preferences pick a record for a URL: '*'
// stands for any run of characters (none included), '?' for exactly one
// (a whole UTF-8 character, never the end of the text), and every other
// character for itself, compared without ASCII case unless asked. A null
// pattern matches everything; a null text counts as empty.
//
// One pass with one backtrack point, the last star seen: when the part of
// the pattern after it fails, that part is tried again one character
// further on. Earlier stars never need to move, so the work grows with the
// text times the longest star-free part of the pattern, however many stars
// there are. Any thread; no state.
#pragma once

#include <cstddef>

bool MatchWildcard(const char* text, const char* pattern, bool caseSensitive);

// The same, adding the number of steps taken (one per character compared,
// star passed or retry) to `steps`, for tests and benchmarks.
bool MatchWildcard(const char* text, const char* pattern, bool caseSensitive, size_t& steps);
