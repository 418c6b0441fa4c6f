// The reversible scramble that keeps saved FTP passwords out of plain sight
// in ftplogins.dat. It is obfuscation, not encryption. The length never
// changes, so a byte that scrambles to 0 is kept like any other.
#pragma once

#include <string>

std::string ScramblePassword(const std::string& plain);
std::string UnscramblePassword(const std::string& scrambled);
