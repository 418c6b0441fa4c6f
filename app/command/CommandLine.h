// The program's command line: the switches -a, -i, -l, -p, -s, -o, -m, -n
// and -z, or one bare path (a file to add and play, or a playlist to load
// and play), turned into a command block. Parsing never fails: every
// problem becomes a line of the error text, and everything valid on the
// line is still done. Plain functions; any thread.
#pragma once

#include <memory>

#include "app/command/CommandBlock.h"
#include "foundation/kernel/Str.h"

struct ParsedCommandLine {
  std::unique_ptr<CommandBlock> block;  // null when the line holds no command
  bool newInstance = false;             // -n
  bool timing = false;                  // -z
  CStr errors;                          // one line per problem, each ending in "\n"
};

ParsedCommandLine ParseCommandLine(const char* commandLine);

// A path at `text`: quoted (up to the closing quote, both quotes consumed;
// without one the path is empty and the rest is consumed), or up to the
// next blank. Answers the number of characters consumed.
size_t ReadPathArgument(const char* text, CStr& path);

// True when the block adds files or loads a playlist (the last playlist
// then stays unread).
bool CommandBlockFillsPlayList(const CommandBlock& block);
