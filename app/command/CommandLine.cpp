#include "app/command/CommandLine.h"

#include <cstring>
#include <string>
#include <vector>

#include "foundation/errors/LocalText.h"
#include "foundation/kernel/Placeholder.h"

namespace {

struct MarkedPath {
  CStr path;
  bool marked;
};

bool EqualsIgnoringCase(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b) {
    const char x = *a >= 'A' && *a <= 'Z' ? static_cast<char>(*a - 'A' + 'a') : *a;
    const char y = *b >= 'A' && *b <= 'Z' ? static_cast<char>(*b - 'A' + 'a') : *b;
    if (x != y) return false;
  }
  return *a == *b;
}

const char* SkipBlanks(const char* at) {
  while (*at == ' ') ++at;
  return at;
}

// The text up to the next blank or the end.
CStr WordAt(const char* at) {
  const char* end = std::strchr(at, ' ');
  return end ? CStr(at, static_cast<size_t>(end - at)) : CStr(at);
}

// A bare path names a playlist by its extension (only these four, so that
// M3U and PLS files are added as files); a quoted one may end with its
// closing quote.
bool IsPlayListPath(const char* path) {
  const char* dot = std::strrchr(path, '.');
  if (!dot) return false;
  for (const char* extension : {".p4u", ".pp4u", ".vp4u", ".wpl"}) {
    if (EqualsIgnoringCase(dot, extension)) return true;
    if (path[0] == '"' && EqualsIgnoringCase(dot, (std::string(extension) + "\"").c_str())) return true;
  }
  return false;
}

std::string RewriteBarePath(const char* path) {
  std::string line = IsPlayListPath(path) ? "-p -l " : "-p -ag ";
  if (path[0] == '"') return line + path;
  return line + "\"" + path + "\"";
}

class CParser {
 public:
  explicit CParser(ParsedCommandLine& result) : m_Result(result) {}

  void Parse(const char* at) {
    for (at = SkipBlanks(at); *at; at = SkipBlanks(at)) at = ParseItem(at);
  }

  // One line per kind of fault, in the order of their first appearance,
  // with how often it came when more than once.
  CStr ErrorText() const {
    CStr text;
    for (const ErrorKind& kind : m_Errors) {
      if (kind.count == 1) {
        text += kind.firstText;
      } else {
        text += FillPlaceholders(LocalText("CSystem.CommandLineError.Repeated", "%ERROR% (%COUNT% times)"),
                                 {{"%ERROR%", kind.firstText}, {"%COUNT%", CStr::Format("%zu", kind.count)}});
      }
      text += "\n";
    }
    return text;
  }

  std::vector<CommandRecord> Records() const {
    std::vector<CommandRecord> records;
    for (const MarkedPath& skin : m_Skins)
      records.push_back(CreateStringCommandRecord(skin.marked ? COMMAND_INSTALL_AND_ACTIVATE_SKIN : COMMAND_INSTALL_SKIN,
                                                  skin.path));
    if (m_Shuffle) records.push_back(CreateDWordCommandRecord(COMMAND_SHUFFLE, 1));
    if (m_Loop) records.push_back(CreateDWordCommandRecord(COMMAND_LOOP, 1));
    if (!m_PlayList.IsEmpty()) records.push_back(CreateStringCommandRecord(COMMAND_LOAD_PLAYLIST, m_PlayList));
    for (const MarkedPath& add : m_Adds)
      records.push_back(CreateStringCommandRecord(add.marked ? COMMAND_ADD_AND_SELECT : COMMAND_ADD, add.path));
    if (m_Play) records.push_back(CreateCommandRecord(COMMAND_PLAY, 0, nullptr));
    if (m_Minimize) records.push_back(CreateDWordCommandRecord(COMMAND_MINIMIZE, 1));
    return records;
  }

 private:
  // A fault of a kind already reported is only counted: a line of a
  // hundred thousand wrong letters gives one line, not a hundred thousand.
  void AddError(const char* key, const char* text, const char* placeholder = nullptr, const CStr& value = CStr()) {
    for (ErrorKind& kind : m_Errors) {
      if (std::strcmp(kind.key, key) == 0) {
        ++kind.count;
        return;
      }
    }
    CStr line = LocalText(key, text);
    if (placeholder) line = ReplacePlaceholder(line, PlaceholderPair{placeholder, value});
    m_Errors.push_back({key, line, 1});
  }

  // Returns where the next item starts.
  const char* ParseItem(const char* at) {
    if (*at != '-') {
      AddError("CSystem.CommandLineError.Generic", "Invalid command line argument: %ARG%", "%ARG%", WordAt(at));
      return at + WordAt(at).GetLength();
    }
    switch (at[1]) {
      case 'a':
        return ParseAdd(at + 2);
      case 'i':
        return ParseInstallSkin(at + 2);
      case 'l':
        return ParseLoadPlayList(at + 2);
      case 'p':
        m_Play = true;
        return at + 2;
      case 's':
        m_Shuffle = true;
        return at + 2;
      case 'o':
        m_Loop = true;
        return at + 2;
      case 'm':
        m_Minimize = true;
        return at + 2;
      case 'n':
        m_Result.newInstance = true;
        return at + 2;
      case 'z':
        m_Result.timing = true;
        return at + 2;
      default:
        AddError("CSystem.CommandLineError.UnknownCommand", "Invalid command line argument: unknown command: %CMD%",
                 "%CMD%", WordAt(at));
        return at + WordAt(at).GetLength();
    }
  }

  const char* ParseAdd(const char* at) {
    bool folder = false;
    bool makeCurrent = false;
    for (; *at && *at != ' '; ++at) {
      if (*at == 'd') {
        folder = true;
      } else if (*at == 'g') {
        makeCurrent = true;
      } else {
        AddError("CSystem.CommandLineError.UnknownSwitchInAdd",
                 "Invalid command line argument: unknown switch '%SWITCH%' in add statement - it will be ignored",
                 "%SWITCH%", CStr(at, 1));
      }
    }
    CStr path;
    at = SkipBlanks(at);
    at += ReadPathArgument(at, path);
    if (path.IsEmpty()) {
      AddError("CSystem.CommandLineError.NoPathAfter-a", "Invalid command line argument: a file path must follow -a");
      return at;
    }
    const char last = path.c_str()[path.GetLength() - 1];
    if (folder && last != '\\' && last != '/') path += "/";
    m_Adds.push_back({path, makeCurrent});
    return at;
  }

  const char* ParseInstallSkin(const char* at) {
    bool activate = false;
    for (; *at && *at != ' '; ++at) {
      if (*at == 'a') {
        activate = true;
      } else {
        AddError("CSystem.CommandLineError.UnknownSwitchInInstallSkin",
                 "Invalid command line argument: unknown switch '%SWITCH%' in 'install skin' statement - it will be "
                 "ignored",
                 "%SWITCH%", CStr(at, 1));
      }
    }
    CStr path;
    at = SkipBlanks(at);
    at += ReadPathArgument(at, path);
    if (path.IsEmpty()) {
      AddError("CSystem.CommandLineError.NoPathAfter-i", "Invalid command line argument: a file path must follow -i");
      return at;
    }
    m_Skins.push_back({path, activate});
    return at;
  }

  const char* ParseLoadPlayList(const char* at) {
    CStr path;
    at = SkipBlanks(at);
    at += ReadPathArgument(at, path);
    if (path.IsEmpty()) {
      AddError("CSystem.CommandLineError.NoPathAfter-l", "Invalid command line argument: a file path must follow -l");
      return at;
    }
    m_PlayList = path;
    return at;
  }

  struct ErrorKind {
    const char* key;
    CStr firstText;
    size_t count;
  };

  ParsedCommandLine& m_Result;
  std::vector<ErrorKind> m_Errors;
  std::vector<MarkedPath> m_Adds;
  std::vector<MarkedPath> m_Skins;
  CStr m_PlayList;
  bool m_Play = false;
  bool m_Shuffle = false;
  bool m_Loop = false;
  bool m_Minimize = false;
};

}  // namespace

size_t ReadPathArgument(const char* text, CStr& path) {
  if (*text == '"') {
    const char* close = std::strchr(text + 1, '"');
    if (!close) {
      path = CStr();
      return std::strlen(text);
    }
    path = CStr(text + 1, static_cast<size_t>(close - text - 1));
    return static_cast<size_t>(close - text) + 1;
  }
  const size_t length = WordAt(text).GetLength();
  path = CStr(text, length);
  return length;
}

ParsedCommandLine ParseCommandLine(const char* commandLine) {
  ParsedCommandLine result;
  const char* line = SkipBlanks(commandLine ? commandLine : "");
  if (!*line) return result;
  std::string rewritten;
  if (*line != '-') {
    rewritten = RewriteBarePath(line);
    line = rewritten.c_str();
  }
  CParser parser(result);
  parser.Parse(line);
  result.errors = parser.ErrorText();
  const std::vector<CommandRecord> records = parser.Records();
  if (!records.empty()) result.block = PackCommandRecords(records);
  return result;
}

bool CommandBlockFillsPlayList(const CommandBlock& block) {
  for (const CommandRecordView& record : ListCommandRecords(block)) {
    if (record.type == COMMAND_ADD || record.type == COMMAND_ADD_AND_SELECT || record.type == COMMAND_LOAD_PLAYLIST)
      return true;
  }
  return false;
}
