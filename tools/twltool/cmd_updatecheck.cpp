// `twltool updatecheck`: the update checker's fetch and what the player
// would make of it.
#include <cstdio>
#include <string>

#include "PlugInDataStart.h"
#include "StdoutLogFront.h"
#include "app/core/System.h"
#include "app/update/UpdateChecker.h"
#include "driver/Command.h"
#include "foundation/kernel/Error.h"

namespace {

bool ParseVersion(const std::string& text, int& major, int& minor) {
  DWORD packed = 0;
  if (!ParseUpdateVersion(text, packed)) return false;
  major = static_cast<int>(packed >> 16);
  minor = static_cast<int>(packed & 0xFFFF);
  return true;
}

}  // namespace

TOOL_COMMAND(RunUpdateCheck, "updatecheck",
             "[--plugins DIR] [--version MAJOR.MINOR] HOST  fetch the update file of the version (default the "
             "player's, 1.75) from HOST (HOST/internet/update/0014/vMMM_e.upd; a file:// folder works without "
             "plug-ins, http:// needs DIR's Netvarra) as the player's update check does and print `found 0|1`; "
             "when found also `version 0x%08X`, `page URL`, `show 0|1` (whether it is newer than the stored "
             "LastSkippedVersion), `description` and the description's bytes") {
  std::string plugIns;
  std::string host;
  int major = 1;
  int minor = 75;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--plugins" || args[i] == "--version") {
      if (i + 1 == args.size()) return tool::Fail(args[i] + " takes a value");
      const std::string& value = args[++i];
      if (args[i - 1] == "--plugins") plugIns = value;
      else if (!ParseVersion(value, major, minor)) return tool::Fail("--version takes MAJOR.MINOR");
    } else if (host.empty()) {
      host = args[i];
    } else {
      return tool::Fail("updatecheck takes one HOST");
    }
  }
  if (host.empty()) return tool::Fail("updatecheck needs a HOST");
  twltool::StdoutLogFront log(stderr);
  twltool::PlugInDataStart start(plugIns);
  GetSystem().InitDirectories();
  CUpdateChecker checker;
  try {
    checker.Start(CUpdateChecker::MakeUpdateUrl(host.c_str(), major, minor).c_str(), nullptr, 0);
  } catch (CError* error) {
    const std::string text = error->GetText().c_str();
    DisposeError(error);
    return tool::Fail("updatecheck: " + text);
  }
  while (!checker.IsDone()) Sleep(10);
  const bool found = checker.IsUpdateAvailable();
  std::printf("found %d\n", found ? 1 : 0);
  if (found) {
    const DWORD version = checker.GetVersion();
    std::printf("version 0x%08lX\npage %s\nshow %d\ndescription\n%s", static_cast<unsigned long>(version),
                checker.GetUpdatePageUrl().c_str(), version > ReadLastSkippedVersion() ? 1 : 0,
                checker.GetDescription().c_str());
  }
  checker.Stop();
  return 0;
}
