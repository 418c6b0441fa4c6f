// The engine's printf-style trace. The engine calls it at the points where
// a trace helps when following a drive's conversation; it discards what it
// is given, so the calls cost nothing and the texts are neither formatted
// nor stored.
#pragma once

inline void DebugTrace(const char* /*format*/, ...) {}
