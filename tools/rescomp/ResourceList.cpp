#include "ResourceList.h"

#include <fstream>
#include <iterator>
#include <set>
#include <tuple>
#include <sstream>
#include <stdexcept>

#include "platform/resources/DibFormat.h"
#include "platform/resources/IconFormat.h"
#include "platform/resources/VersionFormat.h"

namespace rescomp {
namespace {

constexpr uint16_t kCursorGroup = 12;
constexpr uint16_t kBitmap = 2;
constexpr uint16_t kString = 6;
constexpr uint16_t kRcData = 10;
constexpr uint16_t kIconGroup = 14;
constexpr uint16_t kVersion = 16;

struct Token {
  std::string text;
  bool quoted = false;
};

[[noreturn]] void Fail(const std::string& list, int line, const std::string& reason) {
  throw std::runtime_error(list + ":" + std::to_string(line) + ": " + reason);
}

std::string Upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  }
  return text;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Splits a line into words and quoted texts; false on a broken quote.
bool Tokenize(const std::string& line, std::vector<Token>& tokens, std::string& error) {
  size_t at = 0;
  while (at < line.size()) {
    if (line[at] == ' ' || line[at] == '\t' || line[at] == '\r') {
      ++at;
      continue;
    }
    Token token;
    if (line[at] != '"') {
      while (at < line.size() && line[at] != ' ' && line[at] != '\t' && line[at] != '\r') token.text += line[at++];
      tokens.push_back(token);
      continue;
    }
    token.quoted = true;
    for (++at;; ++at) {
      if (at >= line.size()) {
        error = "quote not closed";
        return false;
      }
      char c = line[at];
      if (c == '"') break;
      if (c != '\\') {
        token.text += c;
        continue;
      }
      if (++at >= line.size()) continue;
      switch (line[at]) {
        case 'n': token.text += '\n'; break;
        case 't': token.text += '\t'; break;
        case 'r': token.text += '\r'; break;
        case '0': token.text += '\0'; break;
        case 'x': {
          int high = at + 1 < line.size() ? HexDigit(line[at + 1]) : -1;
          int low = at + 2 < line.size() ? HexDigit(line[at + 2]) : -1;
          if (high < 0 || low < 0) {
            error = "\\x needs two hexadecimal digits";
            return false;
          }
          token.text += static_cast<char>(high * 16 + low);
          at += 2;
          break;
        }
        default: token.text += line[at];
      }
    }
    ++at;
    tokens.push_back(token);
  }
  return true;
}

bool ParseNumber(const std::string& text, uint16_t& number) {
  if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos) return false;
  unsigned long value = std::stoul(text);
  if (value == 0 || value > 0xFFFF) return false;
  number = static_cast<uint16_t>(value);
  return true;
}

bool IsWord(const std::string& text) {
  if (text.empty() || (text[0] >= '0' && text[0] <= '9')) return false;
  for (char c : text) {
    bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
    if (!ok) return false;
  }
  return true;
}

void SetType(Resource& resource, const Token& token, const std::string& list, int line) {
  static const std::pair<const char*, uint16_t> kKnown[] = {
      {"ICON", kIconGroup}, {"CURSOR", kCursorGroup}, {"BITMAP", kBitmap}, {"STRING", kString}, {"RCDATA", kRcData},
      {"VERSION", kVersion}};
  std::string upper = Upper(token.text);
  for (const auto& [word, id] : kKnown) {
    if (upper == word) {
      resource.typeId = id;
      return;
    }
  }
  if (!token.quoted && ParseNumber(token.text, resource.typeId)) return;
  if (token.quoted || !IsWord(token.text)) Fail(list, line, "bad resource type '" + token.text + "'");
  resource.typeName = upper;
}

void SetName(Resource& resource, const Token& token, const std::string& list, int line) {
  if (!token.quoted && ParseNumber(token.text, resource.nameId)) return;
  if (token.quoted || !IsWord(token.text)) Fail(list, line, "bad resource name '" + token.text + "'");
  if (resource.typeId == kString && resource.typeName.empty()) Fail(list, line, "strings are named by numbers");
  resource.nameText = Upper(token.text);
}

std::vector<uint8_t> ReadFileBytes(const std::string& path, const std::string& list, int line) {
  std::ifstream in(path, std::ios::binary);
  if (!in) Fail(list, line, "cannot read " + path);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Icons and cursors must read as such; bitmaps lose their file header.
void CheckData(Resource& resource, bool fromFile, const std::string& list, int line) {
  if (!resource.typeName.empty()) return;
  std::string error;
  if (resource.typeId == kIconGroup || resource.typeId == kCursorGroup) {
    twl::resources::IconFile file;
    if (!twl::resources::ReadIconFile(resource.data.data(), resource.data.size(), file, error)) {
      Fail(list, line, "not a usable icon or cursor: " + error);
    }
    if (file.isCursor != (resource.typeId == kCursorGroup)) {
      Fail(list, line, file.isCursor ? "a cursor file listed as an icon" : "an icon file listed as a cursor");
    }
  } else if (resource.typeId == kVersion) {
    if (fromFile) Fail(list, line, "a version is a quoted text such as \"1.75.0.64\"");
    auto version = twl::resources::ParseVersionText(std::string(resource.data.begin(), resource.data.end()));
    if (!version) Fail(list, line, "not a version: up to four numbers 0..65535 with dots between");
    resource.data = twl::resources::BuildVersionBlock(*version);
  } else if (resource.typeId == kBitmap) {
    if (!fromFile) Fail(list, line, "a bitmap comes from a .bmp file");
    twl::resources::Dib dib;
    size_t offset = 0;
    if (!twl::resources::ReadBmpFile(resource.data.data(), resource.data.size(), dib, offset, error)) {
      Fail(list, line, "not a usable bitmap: " + error);
    }
    resource.data.erase(resource.data.begin(), resource.data.begin() + static_cast<std::ptrdiff_t>(offset));
  }
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

}  // namespace

ResourceList ReadResourceList(const std::string& path, const std::string& generatedFolder) {
  std::ifstream in(path);
  if (!in) throw std::runtime_error("cannot read " + path);
  ResourceList list;
  list.sources.push_back(path);
  std::set<std::tuple<uint16_t, std::string, uint16_t, std::string>> seen;
  std::string text;
  for (int line = 1; std::getline(in, text); ++line) {
    std::vector<Token> tokens;
    std::string error;
    if (!Tokenize(text, tokens, error)) Fail(path, line, error);
    if (tokens.empty() || (!tokens[0].quoted && tokens[0].text[0] == '#')) continue;
    if (tokens.size() != 3) Fail(path, line, "expected TYPE NAME SOURCE");
    Resource resource;
    resource.line = line;
    SetType(resource, tokens[0], path, line);
    SetName(resource, tokens[1], path, line);
    bool fromFile = !tokens[2].quoted;
    if (fromFile) {
      const std::string& name = tokens[2].text;
      if (name[0] == '@' && generatedFolder.empty()) Fail(path, line, "no folder of generated files for " + name);
      const std::string source = name[0] == '@'   ? generatedFolder + "/" + name.substr(1)
                                 : name[0] == '/' ? name
                                                  : FolderOf(path) + "/" + name;
      resource.data = ReadFileBytes(source, path, line);
      list.sources.push_back(source);
    } else {
      resource.data.assign(tokens[2].text.begin(), tokens[2].text.end());
    }
    CheckData(resource, fromFile, path, line);
    if (!seen.emplace(resource.typeId, resource.typeName, resource.nameId, resource.nameText).second) {
      Fail(path, line, "the same type and name are listed before");
    }
    list.resources.push_back(std::move(resource));
  }
  return list;
}

}  // namespace rescomp
