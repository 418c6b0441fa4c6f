#include "kilnar/app/TreeMessages.h"

#include <cstdio>
#include <vector>

#include "kilnar/recorder/IniFile.h"
#include "kilnar/recorder/MessageFigures.h"

std::string TreeMessage(const char* section, const char* key, std::initializer_list<std::string> figures) {
  IniFile messages("MSG\\TREE.MSG", nullptr);
  return FillFigures(messages.GetString(section, key), std::vector<std::string>(figures));
}

void PrintTreeMessage(const char* section, const char* key, std::initializer_list<std::string> figures) {
  const std::string text = TreeMessage(section, key, figures);
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fputc('\n', stdout);
}
