// A module's resource list: one resource per line, "TYPE NAME SOURCE".
//
//   # the program's resources
//   ICON     101     icons/player.ico
//   CURSOR   130     cursors/hand.cur
//   BITMAP   143     bitmaps/arrow.bmp
//   RAWDATA  131     skins/default.s4u
//   RAWDATA  134     "1.75 build 64"
//   STRING   1000    "Velbrook Tunewell"
//   VERSION  1       "1.75.0.64"
//
// TYPE is ICON, CURSOR, BITMAP, STRING, RCDATA, VERSION (file and product
// version from a quoted text, up to four numbers), a number, or any other
// word, which names a type of its own (RAWDATA). NAME is a number from 1 to 65535
// or a word; words compare without case. SOURCE is a file, relative to the
// list's folder, or a quoted text (escapes \n \t \\ \" \xHH) whose bytes
// are the resource without a terminator. A file named "@name" is one the
// build makes: it is looked up in the generated-files folder given to the
// reader. Lines starting with # are comments.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rescomp {

struct Resource {
  uint16_t typeId = 0;
  std::string typeName;  // upper case; empty for a numbered type
  uint16_t nameId = 0;
  std::string nameText;  // upper case; empty for a numbered name
  std::vector<uint8_t> data;
  int line = 0;
};

struct ResourceList {
  std::vector<Resource> resources;
  std::vector<std::string> sources;  // every file read, for the build's dependencies
};

// Reads and checks the list and every file it names: icons, cursors and
// bitmaps must be readable by the platform layer. Throws std::runtime_error
// with "list:line: reason".
ResourceList ReadResourceList(const std::string& path, const std::string& generatedFolder = std::string());

}  // namespace rescomp
