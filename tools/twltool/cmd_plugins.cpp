#include <charconv>
#include <chrono>
#include <cstdio>

#include "StdoutLogFront.h"
#include "driver/Command.h"
#include "pluginhost/plugins/PlugInLoader.h"

namespace {

void PrintKept(const CPlugInManager& manager, INT from) {
  for (INT index = from; index < manager.GetCount(); ++index) {
    const CPlugIn& plugIn = *manager.GetPlugIn(index);
    const PlugInVersionInfo& version = plugIn.GetVersion();
    std::printf("plugin %d %s (%s) interface %d requires %u.%02u api 0x%X\n", index, plugIn.GetName().c_str(),
                plugIn.GetFileName().c_str(), plugIn.IsVersion2() ? 2 : 1, version.requiredPlayerVersion >> 16,
                version.requiredPlayerVersion & 0xFFFF, version.apiVersion);
  }
  std::fflush(stdout);
}

bool ParseSeconds(const std::string& text, unsigned& seconds) {
  const char* last = text.data() + text.size();
  const auto [end, error] = std::from_chars(text.data(), last, seconds);
  return error == std::errc() && end == last && !text.empty();
}

}  // namespace

TOOL_COMMAND(RunPlugins, "plugins",
             "[--watch SECONDS] DIR  load the plug-ins of DIR as the player does at start, printing its log lines "
             "and one line per kept plug-in (\"plugin INDEX NAME (FILE) interface 1|2 requires X.YY api 0xAPI\"); "
             "with --watch, look for new plug-ins every 100 ms for SECONDS and load them the same way") {
  unsigned watchSeconds = 0;
  tool::Args rest = args;
  if (!rest.empty() && rest[0] == "--watch") {
    if (rest.size() < 2 || !ParseSeconds(rest[1], watchSeconds)) return tool::Fail("--watch takes a number of seconds");
    rest.erase(rest.begin(), rest.begin() + 2);
  }
  if (rest.size() != 1) return tool::Fail("plugins takes one folder");

  twltool::StdoutLogFront front;
  CPlugInLoader loader;
  loader.LoadPlugIns(rest[0].c_str());
  PrintKept(loader.GetManager(), 0);
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(watchSeconds);
  while (std::chrono::steady_clock::now() < end) {
    Sleep(100);
    const INT before = loader.GetManager().GetCount();
    if (loader.LoadNewPlugIns(nullptr)) PrintKept(loader.GetManager(), before);
  }
  loader.UnloadPlugIns();
  return 0;
}
