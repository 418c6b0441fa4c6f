#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "driver/Command.h"
#include "foundation/errors/WindowsError.h"

// The code may be decimal, hexadecimal (0x...) or negative (taken as the
// unsigned 32-bit value, as GetLastError would give it).
TOOL_COMMAND(RunWinText, "wintext", "CODE  print the English text of a Win32 error code") {
  if (args.size() != 1) return tool::Fail("wintext takes one code");
  const char* text = args[0].c_str();
  char* end = nullptr;
  errno = 0;
  const long long code = std::strtoll(text, &end, 0);
  if (errno != 0 || end == text || *end != '\0' || code < -0x80000000LL || code > 0xFFFFFFFFLL)
    return tool::Fail("not a 32-bit code: '" + args[0] + "'");
  std::printf("%s\n", CWindowsError::GetErrorText(static_cast<DWORD>(code)));
  return 0;
}
