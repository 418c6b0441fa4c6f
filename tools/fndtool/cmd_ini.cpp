// fndtool ini: parses an ini file (a path or a URL the file system opens)
// with the library's parser and prints
// every item with its type and parsed value, then the message of each bad
// line. Items are declared as NAME:TYPE arguments; every other name of
// the file is read as a string. Exit code 1 when a line was bad.
#include <cstdio>
#include <deque>
#include <fstream>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "driver/Command.h"
#include "foundation/ini/IniData.h"
#include "foundation/ini/IniItems.h"
#include "foundation/ini/IniParser.h"
#include "foundation/kernel/Error.h"

namespace {

const char* const kTypes[] = {"boolean", "color",   "expansion", "transition", "integer", "unsigned",
                              "margins", "percentage", "point",  "string",     "version"};

// One declared name and the variable its item fills.
struct Entry {
  Entry(std::string itemName, std::string itemType) : name(std::move(itemName)), type(std::move(itemType)) {}

  std::string name;
  std::string type;
  bool found = false;
  bool boolean = false;
  COLORREF color = 0;
  DWORD word = 0;
  IniFrameTransition transition{};
  INT integer = 0;
  RECT margins{};
  double percentage = 0;
  POINT point{};
  CStr text;
};

bool IsKnownType(const std::string& type) {
  for (const char* known : kTypes) {
    if (type == known) return true;
  }
  return false;
}

CIniItem* MakeItem(Entry& e) {
  const char* name = e.name.c_str();
  if (e.type == "boolean") return new CIniBooleanItem(name, &e.boolean, &e.found);
  if (e.type == "color") return new CIniColorItem(name, &e.color, &e.found);
  if (e.type == "expansion") return new CIniExpansionTypeItem(name, &e.word, &e.found);
  if (e.type == "transition") return new CIniFrameTransitionItem(name, &e.transition, &e.found);
  if (e.type == "integer") return new CIniIntegerItem(name, &e.integer, &e.found, true);
  if (e.type == "unsigned") return new CIniIntegerItem(name, &e.integer, &e.found, false);
  if (e.type == "margins") return new CIniMarginsItem(name, &e.margins, &e.found);
  if (e.type == "percentage") return new CIniPercentageItem(name, &e.percentage, &e.found);
  if (e.type == "point") return new CIniPointItem(name, &e.point, &e.found);
  if (e.type == "version") return new CIniVersionItem(name, &e.word, &e.found);
  return new CIniStringItem(name, &e.text, &e.found);
}

std::string ValueText(const Entry& e) {
  char text[160];
  if (e.type == "boolean") return e.boolean ? "true" : "false";
  if (e.type == "color") {
    std::snprintf(text, sizeof text, "0x%08X (red %u, green %u, blue %u)", e.color, e.color & 0xFF,
                  e.color >> 8 & 0xFF, e.color >> 16 & 0xFF);
  } else if (e.type == "expansion") {
    return e.word == CIniExpansionTypeItem::kTile ? "tile" : "stretch";
  } else if (e.type == "transition") {
    std::snprintf(text, sizeof text, "type %u, frame count %u, delay %u", e.transition.type, e.transition.frameCount,
                  e.transition.delay);
  } else if (e.type == "integer" || e.type == "unsigned") {
    std::snprintf(text, sizeof text, "%d", e.integer);
  } else if (e.type == "margins") {
    std::snprintf(text, sizeof text, "left %d, top %d, right %d, bottom %d", e.margins.left, e.margins.top,
                  e.margins.right, e.margins.bottom);
  } else if (e.type == "percentage") {
    std::snprintf(text, sizeof text, "%.17g", e.percentage);
  } else if (e.type == "point") {
    std::snprintf(text, sizeof text, "%d,%d", e.point.x, e.point.y);
  } else if (e.type == "version") {
    std::snprintf(text, sizeof text, "%u.%02u (0x%08X)", e.word >> 16, e.word & 0xFFFF, e.word);
  } else {
    std::string quoted(1, '"');
    quoted.append(e.text.c_str(), e.text.GetLength());
    quoted.push_back('"');
    return quoted;
  }
  return text;
}

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The names the file gives values to, in order of first appearance; only
// as much of the file is looked at as the parser would read.
std::vector<std::string> NamesInFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::string bytes(static_cast<size_t>(CIniParser::kMaxFileSize), '\0');
  file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<size_t>(file.gcount()));
  std::vector<std::string> names;
  // The parser passes over a UTF-8 byte order mark at the start.
  size_t start = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  while (start < bytes.size()) {
    size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string::npos) end = bytes.size();
    const std::string line = bytes.substr(start, end - start);
    start = end + 1;
    const size_t first = line.find_first_not_of(" \t");
    const size_t equals = line.find('=');
    if (first == std::string::npos || equals == std::string::npos || equals < first || !IsAsciiLetter(line[first]))
      continue;
    const size_t last = line.find_last_not_of(" \t", equals - 1);
    names.push_back(line.substr(first, last - first + 1));
  }
  return names;
}

// A name as the parser compares it: ASCII letters without regard to case.
std::string NameKey(std::string name) {
  for (char& c : name)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return name;
}

int ParseAndPrint(const std::string& path, std::deque<Entry>& entries) {
  std::unordered_set<std::string> known;
  for (const Entry& e : entries) known.insert(NameKey(e.name));
  for (const std::string& name : NamesInFile(path)) {
    if (known.insert(NameKey(name)).second) entries.emplace_back(name, "string");
  }
  CIniData data;
  for (Entry& e : entries) data.AddItem(MakeItem(e));

  CStr errors;
  const bool accepted = CIniParser().ParseFile(path.c_str(), data, errors);

  for (const Entry& e : entries) {
    if (e.found)
      std::printf("%s (%s) = %s\n", e.name.c_str(), e.type.c_str(), ValueText(e).c_str());
    else
      std::printf("%s (%s) not found\n", e.name.c_str(), e.type.c_str());
  }
  std::fwrite(errors.c_str(), 1, errors.GetLength(), stdout);
  return accepted ? 0 : 1;
}

}  // namespace

TOOL_COMMAND(RunIni, "ini",
                "FILE [NAME:TYPE...]\n"
                "      parse an ini file and print each item with its type and value, then each error;\n"
                "      TYPE is boolean, color, expansion, transition, integer, unsigned, margins,\n"
                "      percentage, point, string or version (names not declared are strings)") {
  if (args.empty()) return tool::Fail("ini takes FILE [NAME:TYPE...]");
  std::deque<Entry> entries;
  for (size_t i = 1; i < args.size(); ++i) {
    const size_t colon = args[i].rfind(':');
    const std::string type = colon == std::string::npos ? "" : args[i].substr(colon + 1);
    if (colon == 0 || !IsKnownType(type)) return tool::Fail("bad item declaration '" + args[i] + "'");
    entries.emplace_back(args[i].substr(0, colon), type);
  }
  try {
    return ParseAndPrint(args[0], entries);
  } catch (CError* error) {
    const std::string text = std::string(error->GetCaption().c_str()) + ": " + error->GetText().c_str();
    DisposeError(error);
    return tool::Fail(text);
  }
}
