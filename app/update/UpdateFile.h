// The update file the maker's site announces a newer version with: line 1
// the version ("1.80", blanks or tabs around it, each number at most
// 65535), line 2 the update page's address, the rest the description; the
// two lines end in CR LF. Plain 8-bit text.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

struct UpdateAnnouncement {
  DWORD version = 0;  // major << 16 | minor
  std::string page;
  std::string description;
};

// True only for a valid file: the version parses strictly and both the
// address and the description are non-empty. The text ends at its first
// NUL.
bool ParseUpdateFile(std::string_view text, UpdateAnnouncement& announcement);
// "MAJOR.MINOR" as packed above; false for anything else.
bool ParseUpdateVersion(std::string_view line, DWORD& version);
