#include <windows.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "driver/Command.h"
#include "foundation/appcore/CrashFilter.h"
#include "foundation/log/LogFile.h"

namespace {

// Lives until the process ends: the crash filter writes to it.
CLogFile crashLog;

bool ParseAddress(const std::string& text, uintptr_t& address) {
  char* end = nullptr;
  errno = 0;
  const unsigned long long value = std::strtoull(text.c_str(), &end, 0);
  if (errno != 0 || end == text.c_str() || *end != '\0' || text[0] == '-') return false;
  address = static_cast<uintptr_t>(value);
  return true;
}

}  // namespace

// Crashes on purpose with the program's crash filter installed, so that the
// crash report can be seen: it lands in the file CrashLog of the current
// folder.
TOOL_COMMAND(RunCrash, "crash", "read ADDR  read from ADDR and crash; the report goes to ./CrashLog") {
  uintptr_t address = 0;
  if (args.size() != 2 || args[0] != "read") return tool::Fail("usage: crash read ADDR");
  if (!ParseAddress(args[1], address)) return tool::Fail("not an address: '" + args[1] + "'");
  char folder[MAX_PATH];
  const DWORD length = GetCurrentDirectoryA(sizeof folder, folder);
  if (length == 0 || length >= sizeof folder) return tool::Fail("cannot find the current folder");
  crashLog.SetFileName((std::string(folder) + "/CrashLog").c_str());
  CrashFilterTargets targets;
  targets.logFile = &crashLog;
  InstallCrashFilter(targets);
  const volatile char* target = reinterpret_cast<const volatile char*>(address);
  return *target;  // does not come back when the address is not readable
}
