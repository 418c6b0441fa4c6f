#include <cstdio>
#include <string>
#include <vector>

#include "StdoutLogFront.h"
#include "driver/Command.h"
#include "foundation/errors/ThreadErrorState.h"
#include "pluginhost/filters/FileFilterSystem.h"
#include "pluginhost/plugins/PlugInLoader.h"

namespace {

bool ParseIndex(const std::string& text, INT& index) {
  try {
    size_t used = 0;
    const long value = std::stol(text, &used);
    if (used != text.size() || value < 0 || value > 0x7FFFFFFF) return false;
    index = static_cast<INT>(value);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace

TOOL_COMMAND(RunFilter, "filter",
             "[--plugins DIR] [--desc INDEX]... NAME...  start the file filter system with the built-in playlist "
             "filter and the filters of DIR's plug-ins (the log goes to stderr as it is written), print \"desc "
             "INDEX TEXT\" per description in order, then filter the names with the chosen descriptions (all of "
             "them when none is chosen, as a folder import does) and print \"match NAME\" per accepted name in "
             "input order; when a filter fails, the thread error's text goes to stderr and the exit code is 1") {
  std::string plugIns;
  std::vector<INT> chosen;
  std::vector<std::string> names;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--plugins" || arg == "--desc") {
      if (i + 1 == args.size()) return tool::Fail(arg + " takes a value");
      const std::string& value = args[++i];
      if (arg == "--plugins") {
        plugIns = value;
        continue;
      }
      INT index = 0;
      if (!ParseIndex(value, index)) return tool::Fail("not a description index: " + value);
      chosen.push_back(index);
    } else {
      names.push_back(arg);
    }
  }

  twltool::StdoutLogFront front(stderr);
  CPlugInLoader loader;
  if (!plugIns.empty()) loader.LoadPlugIns(plugIns.c_str());
  CFileFilterSystem& system = GetFileFilterSystem();
  system.Init(&loader.GetManager());
  for (INT index = 0; index < system.GetDescCount(); ++index)
    std::printf("desc %d %s\n", index, system.GetDesc(index)->GetName().c_str());

  std::vector<CFileFilterDesc*> group;
  if (chosen.empty())
    for (INT index = 0; index < system.GetDescCount(); ++index) group.push_back(system.GetDesc(index));
  for (INT index : chosen) {
    CFileFilterDesc* desc = system.GetDesc(index);
    if (!desc) {
      system.Exit();
      return tool::Fail("no description " + std::to_string(index));
    }
    group.push_back(desc);
  }
  std::vector<const char*> texts;
  for (const auto& name : names) texts.push_back(name.c_str());
  std::vector<DWORD> results(names.size(), 0);
  const bool filtered = system.FilterFiles(static_cast<INT>(group.size()), group.data(),
                                           static_cast<INT>(texts.size()), texts.data(), results.data());
  const CStr failure = filtered ? CStr() : GetThreadErrorText();
  for (size_t i = 0; i < names.size(); ++i)
    if (results[i]) std::printf("match %s\n", names[i].c_str());
  std::fflush(stdout);
  system.Exit();
  loader.UnloadPlugIns();
  if (filtered) return 0;
  std::fputs(failure.c_str(), stderr);
  return 1;
}
