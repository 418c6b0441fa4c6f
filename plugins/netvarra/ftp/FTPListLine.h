// The FTP listing parser: one line of a LIST answer in one of four styles
// (Unix, DOS, EPLF, bracketed attributes) becomes a name, a type and a
// size. Lines come from servers and are untrusted: a line that does not
// fit its style yields no entry, never a partial one.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct FTPListEntry {
  enum Style : int32_t {
    kUnknown = -1,
    kUnixAfterTotal = 0,
    kDos = 1,
    kUnix = 2,
    kEplf = 3,
    kBracketed = 4,
  };
  enum Type : int32_t { kNone = 0, kFile = 1, kFolder = 2, kLink = 3 };

  int32_t style = kUnknown;
  int32_t type = kNone;
  std::string name;
  int64_t size = -1;  // -1 when the line gives none
};

// Parses `line`, which must end with CR (normally CR LF); text after the
// first CR is ignored. Style -1 detects the style from the line, 0 to 4
// use that style. False (and an entry of style -1, type 0) when the line
// does not parse.
bool ParseListLine(std::string_view line, FTPListEntry& entry, int32_t style);

// The style automatic parsing would use for `line`.
int32_t DetectListStyle(std::string_view line);
