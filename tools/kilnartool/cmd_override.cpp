#include <windows.h>

#include <cstdio>
#include <string>

#include "QuotedText.h"
#include "driver/Command.h"
#include "driver/Numbers.h"
#include "kilnar/recorder/DriveIdentification.h"

namespace {

bool SetText(HKEY key, const char* name, const std::string& value) {
  return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

}  // namespace

TOOL_COMMAND(RunOverride, "override",
             "MODEL DRIVER [WRITESPEED]  write the registry override of a drive model (HKEY_LOCAL_MACHINE, values "
             "\"Device\" and \"WriteSpeed\"); prints `override \"MODEL\" DRIVER`; an empty DRIVER writes an empty "
             "value") {
  uint64_t speed = 0;
  if (args.size() < 2 || args.size() > 3 || (args.size() == 3 && !tool::ParseUnsigned(args[2], speed, 999)))
    return tool::Fail("override takes MODEL DRIVER [WRITESPEED (0 to 999)]");
  HKEY key = nullptr;
  const std::string path = std::string(kDriverOverrideKey) + args[0];
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return tool::Fail("cannot make the key " + path);
  bool written = SetText(key, "Device", args[1]);
  if (args.size() == 3) written = written && SetText(key, "WriteSpeed", std::to_string(speed));
  RegCloseKey(key);
  if (!written) return tool::Fail("cannot write the override of " + args[0]);
  std::printf("override %s %s\n", kilnartool::Quoted(args[0]).c_str(), args[1].c_str());
  return 0;
}
